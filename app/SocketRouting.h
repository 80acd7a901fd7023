#pragma once
// What the main window does with a socket's data event: data is taken only while the socket
// is connected; in any other state it stays unread.
#include <QString>

class SocketControl;

// Reads every pending byte as text when sock is connected; false, reading nothing, otherwise.
bool ReadArrivedData(SocketControl& sock, QString& retText);
