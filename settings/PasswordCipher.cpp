#include "settings/PasswordCipher.h"

#include "settings/CDES.h"

namespace {
// Only the first eight characters take part in the key.
const QString PasswordKey = QStringLiteral("Tq3-Mv8,KdPz:Wn5Rf2X");
} // namespace

QString EncryptPassword(const QString& text) {
    return CDES().EncryptString(text, PasswordKey);
}

bool DecryptPassword(const QString& hexText, QString& retPassword) {
    return CDES().DecryptString(hexText, retPassword, PasswordKey);
}
