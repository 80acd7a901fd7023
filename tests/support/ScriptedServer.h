#pragma once
// A loopback server that plays a script to the first client that connects: it says texts,
// hears lines, pauses and hangs up in the scripted order, then stays silent with the
// connection open. It listens on 127.0.0.1 on a port of its own and runs on the test's
// thread, so it moves only while the client under test pumps events. Pauses are measured
// on the fake clock while one is installed.
#include <QByteArray>
#include <QStringList>
#include <QTcpServer>
#include <vector>

class QTcpSocket;

struct ScriptStep {
    enum Kind { Say, Hear, HearUntil, Pause, Hangup };
    Kind kind;
    QByteArray text; // what Say sends, the line HearUntil waits for
    int ms = 0;      // how long Pause lasts
};

ScriptStep Say(const QByteArray& text);
// Waits for one line from the client.
ScriptStep Hear();
// Waits for lines from the client up to and including one equal to line (a DATA block's ".").
ScriptStep HearUntil(const QByteArray& line);
ScriptStep Pause(int ms);
ScriptStep Hangup();

class ScriptedServer {
  public:
    explicit ScriptedServer(std::vector<ScriptStep> script);
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    int Port() const { return server.serverPort(); }
    // Every line the client sent, without its CR LF, including lines after the script's end.
    const QStringList& Heard() const { return heard; }
    // True once every step has run.
    bool Finished() const { return next == script.size(); }

  private:
    void Accept();
    void Receive();
    // Runs steps until one has to wait for the client or a timer.
    void Run();

    std::vector<ScriptStep> script;
    size_t next = 0;
    bool pausing = false;
    QTcpServer server;
    QTcpSocket* peer = nullptr;
    QByteArray pending; // received bytes not yet cut into lines
    QStringList lines;  // received lines no Hear step has taken
    QStringList heard;
};
