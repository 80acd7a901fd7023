// Arbitrary bytes through both JIS conversions and, read as code page 932 text, through the
// subject decoder and the half-width mapping.
#include "platform/CodePage.h"
#include "reply/modSendMail.h"
#include "textenc/HalfWidth.h"
#include "textenc/modConvXJIS.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

const QByteArray ToOneByte("\x1b(B", 3);

// The written JIS always ends in one-byte mode: after its last ESC $ B comes an ESC ( B.
void CheckEndsInOneByteMode(const QByteArray& jis, const QByteArray& source) {
    const qsizetype lastRun = jis.lastIndexOf("\x1b$B");
    if (lastRun < 0 || source.contains('\x1b'))
        return;
    if (jis.indexOf(ToOneByte, lastRun) < 0)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray sjis = JisToSjis(bytes);
    const QByteArray jis = SjisToJis(bytes);
    CheckEndsInOneByteMode(jis, bytes);
    SjisToJis(sjis);
    JisToSjis(jis);
    // Random bytes seldom form an encoded word; wrapped in one they reach both decoding paths.
    const QString text = FromCodePage932(bytes);
    ToHalfWidth(DecodeSubject(text));
    DecodeSubject(QStringLiteral("=?ISO-2022-JP?B?") + text + QStringLiteral("?="));
    DecodeSubject(QStringLiteral("=?UTF-8?Q?") + text + QStringLiteral("?="));
    return 0;
}
