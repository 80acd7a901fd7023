// Server bytes through the IMAP response reading: where a response ends, searched whole or
// after any prefix, the overlong test, the parse of a complete response and the readers of
// its parts, with the properties each must keep.
#include "mailcheck/IMAPResponse.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// An atom's octets stand in the response as they are (a string's may be unescaped); only a
// list holds values.
void CheckValue(const IMAPValue& value, const QByteArray& response) {
    Check(value.kind == IMAPValue::List ? value.text.isEmpty() : value.list.empty());
    Check(value.kind != IMAPValue::Atom || response.contains(value.text));
    for (const IMAPValue& inner : value.list)
        CheckValue(inner, response);
}

void CheckParts(const IMAPResponse& response, const QByteArray& bytes) {
    Check((response.kind == IMAPResponse::Tagged) == !response.tag.isEmpty());
    Check(response.kind != IMAPResponse::Tagged || !response.status.isEmpty());
    for (const IMAPValue& value : response.values)
        CheckValue(value, bytes);
    QSet<QByteArray> capabilities;
    if (ReadCapabilities(response, capabilities))
        Check(!capabilities.isEmpty());
    quint32 number = 0;
    if (ReadUidValidity(response, number))
        Check(number > 0);
    ReadExists(response, number);
    bool allowed = false;
    ReadKeywordsAllowed(response, allowed);
    QList<quint32> numbers;
    if (ReadSearch(response, numbers))
        Check(!numbers.contains(0u));
    IMAPFetch fetch;
    if (ReadFetch(response, fetch)) {
        Check(fetch.sequence > 0);
        Check(!fetch.hasHeader || fetch.header.size() <= bytes.size());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype length = CompleteResponseLength(bytes);
    Check(length >= 0 && length <= bytes.size());
    if (length == 0) {
        // Incomplete: so is every prefix, and the line end is not yet there or a literal is due.
        Check(bytes.isEmpty() || CompleteResponseLength(bytes.left(bytes.size() - 1)) == 0);
        return 0;
    }
    Check(!IsOverlongResponse(bytes));
    Check(bytes.left(length).endsWith("\r\n"));
    // No shorter prefix is complete, and what follows changes nothing.
    Check(CompleteResponseLength(bytes.left(length - 1)) == 0);
    Check(CompleteResponseLength(bytes.left(length) + "x") == length);
    IMAPResponse response;
    if (ParseResponse(bytes.left(length), response))
        CheckParts(response, bytes);
    QByteArray quoted;
    if (QuotedString(bytes, quoted) && ParseResponse("* X " + quoted + "\r\n", response))
        Check(response.values.size() == 1 && response.values.front().text == bytes);
    return 0;
}
