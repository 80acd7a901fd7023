#include "tests/support/HostileRequests.h"

namespace {

const QByteArray FromBob = "From: bob@example.net\r\n";
const QByteArray ToCamera = "To: cam@example.com\r\n";
const QByteArray Body = "\r\nplease\r\n";

const QString Oversized = QStringLiteral("メールのヘッダが大きすぎるため読みませんでした");
const QString Refused = QStringLiteral("許可されていないメールアドレスでした");
const QString NoPrefix = QStringLiteral("件名の先頭に CAM がないため許可されませんでした");
const QString Sent = QStringLiteral("メールを送信しました");

// A mail of bob's with subject and extra header lines before it.
QByteArray FromBobWith(const QByteArray& subject, const QByteArray& extra = {}) {
    return extra + FromBob + ToCamera + "Subject: " + subject + "\r\n" + Body;
}

// Lines of filler header fields, each length bytes long with its CR LF.
QByteArray Filler(int lines, int length) {
    return (QByteArray("X-Filler: ") + QByteArray(length - 12, 'x') + "\r\n").repeated(lines);
}

QByteArray Uidl(int length) {
    QByteArray uidl;
    for (int i = 0; i < length; ++i)
        uidl += char('!' + i % 94); // every printable character RFC 1939 allows
    return uidl;
}

} // namespace

QByteArray GoodRequest(const QByteArray& subject) {
    return FromBobWith(subject);
}

std::vector<HostileRequest> HostileRequests() {
    const QByteArray megabyte(1000000, 'a');
    const QByteArray longWord = "=?UTF-8?B?" + ("CAM " + QByteArray(300000, 'x')).toBase64() + "?=";
    const QByteArray manyWords = QByteArray("=?UTF-8?B?Q0FN?= ").repeated(5000);
    const QByteArray junk("\x00\x01\x7f\x80\x81\xa0\xfd\xfe\xff\x1b$B", 13);
    return {
        {"a 10 MB header", FromBobWith("CAM big", Filler(5000, 2000)), false, Oversized},
        {"100,000 header lines", FromBobWith("CAM long", Filler(100000, 16)), false, Oversized},
        {"a From of 1 MB", "From: " + megabyte + "\r\nSubject: CAM\r\n" + Body, false, Refused},
        {"a From of 1 MB before an accepted address",
         "From: \"" + megabyte + "\" <bob@example.net>\r\nSubject: CAM\r\n" + Body, true, Sent},
        {"a Subject of 1 MB", FromBobWith("CAM " + megabyte), true, Sent},
        {"NUL and 8-bit junk in the header", FromBobWith("CAM", "X-Junk: " + junk + "\r\n"), true,
         Sent},
        {"NUL and 8-bit junk in From",
         "From: bob@example.net" + junk + "\r\nSubject: CAM\r\n" + Body, false, Refused},
        {"NUL and 8-bit junk in the display name",
         "From: \"" + junk + "\" <bob@example.net>\r\nSubject: CAM\r\n" + Body, true, Sent},
        {"NUL and 8-bit junk in Subject", FromBobWith("CAM " + junk), true, Sent},
        {"an encoded word in an unknown charset", FromBobWith("=?X-NO-SUCH?B?Q0FN?="), false,
         NoPrefix},
        {"an encoded word of bad base64", FromBobWith("=?UTF-8?B?Q0F*N!?="), false, NoPrefix},
        {"an encoded word of bad Q", FromBobWith("=?UTF-8?Q?CAM=ZZ=?="), true, Sent},
        {"an unterminated encoded word", FromBobWith("=?UTF-8?B?Q0FN"), false, NoPrefix},
        {"one encoded word of 400 KB", FromBobWith(longWord), true, Sent},
        {"5,000 encoded words in a row", FromBobWith(manyWords), true, Sent},
        {"a UIDL of 70 characters", FromBobWith("CAM", "X-UIDL: " + Uidl(70) + "\r\n"), true, Sent,
         Uidl(70)},
        {"a UIDL of 1,000 characters", FromBobWith("CAM", "X-UIDL: " + Uidl(1000) + "\r\n"), true,
         Sent, Uidl(1000)},
    };
}
