#pragma once
// Part of module modFileAccess: the mail account's password as main.mla stores it, encrypted
// with CDES under a key built into the program, in uppercase hex.
#include <QString>

// A fresh hex text on every call, even for the same password.
QString EncryptPassword(const QString& text);

// The password of a text made by EncryptPassword (CR LF, "+" and "." inside are ignored);
// an empty text gives the empty password. False and an empty password when hexText is no
// such text.
bool DecryptPassword(const QString& hexText, QString& retPassword);
