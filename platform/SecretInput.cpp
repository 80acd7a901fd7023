#include "platform/SecretInput.h"

#include <cstdio>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

// Turns the terminal's echo off while it lives, and back on as it was.
class EchoOff {
  public:
    EchoOff() : active(tcgetattr(STDIN_FILENO, &saved) == 0) {
        if (!active)
            return;
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        active = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff() {
        if (active)
            tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

  private:
    termios saved{};
    bool active;
};

} // namespace

bool ReadSecretLine(const QString& prompt, QString& retText) {
    const bool terminal = isatty(STDIN_FILENO) != 0;
    if (terminal)
        std::fputs(prompt.toLocal8Bit().constData(), stderr);
    std::string line;
    bool ended = false;
    {
        const EchoOff quiet;
        for (int c = std::getchar(); c != EOF; c = std::getchar()) {
            if (c == '\n') {
                ended = true;
                break;
            }
            line += static_cast<char>(c);
        }
    }
    // The Enter the terminal did not echo.
    if (terminal)
        std::fputc('\n', stderr);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (!ended && line.empty())
        return false;
    retText = QString::fromLocal8Bit(line);
    return true;
}
