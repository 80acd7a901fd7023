#include "reply/modSendMail.h"

#include "platform/CodePage.h"
#include "textenc/EncodedWords.h"
#include "textenc/modConvBase64.h"
#include "textenc/modConvXJIS.h"

namespace {

// The prefix, a base64 text without "?" and the closing "?=", nothing else.
bool IsOneJisBase64Word(const QString& sValue) {
    const QByteArray bytes = ToCodePage932(sValue);
    const qsizetype textStart = sizeof(JisBase64WordPrefix) - 1;
    return StartsWithJisBase64Prefix(bytes) && bytes.size() >= textStart + 2 &&
           bytes.indexOf('?', textStart) == bytes.size() - 2 && bytes.endsWith('=');
}

} // namespace

QString DecodeSubject(const QString& sValue) {
    InitBase64();
    if (!IsOneJisBase64Word(sValue))
        return DecodeEncodedWords(sValue);
    const QByteArray jis = DecodeBase64Text(sValue, true);
    return FromCodePage932(ConvertCode(jis, CodeJis, CodeSjis));
}
