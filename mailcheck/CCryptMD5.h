#pragma once
// The MD5 message digest exactly as RFC 1321 defines it, with hexadecimal results in upper
// case. The program uses it for the APOP login: the digest of the greeting's time stamp
// followed by the password.
#include <QByteArray>
#include <QString>
#include <cstdint>

class CCryptMD5 {
  public:
    // Most bytes one MD5Update call takes, most characters DigestStrToHexStr takes, and most
    // bytes fed between MD5Init and MD5Final (so that the bit count fits in 32 bits).
    static constexpr int MaxUpdateBytes = 32767;
    static constexpr int MaxStringChars = 32767;
    static constexpr int MaxTotalBytes = 268435455;

    // The current state word as decimal text of its signed 32-bit value.
    QString RegisterA() const;
    QString RegisterB() const;
    QString RegisterC() const;
    QString RegisterD() const;

    // The digest of SourceString's code page 932 bytes (one byte for ASCII and half-width
    // katakana, two for other Japanese characters); empty for text past MaxStringChars.
    QString DigestStrToHexStr(const QString& SourceString);
    // The digest of a file's bytes, read in 64-byte blocks; with MaxBytes > 0 reading stops
    // after the first whole block that brings the count to MaxBytes. Empty when the file
    // cannot be read or holds more than MaxTotalBytes.
    QString DigestFileToHexStr(const QString& InFile, int MaxBytes);
    // The state as 32 hexadecimal digits, each word least significant byte first: after
    // MD5Final, the digest.
    QString GetValues() const;

    // Starts a digest: the RFC 1321 initial state, nothing fed.
    void MD5Init();
    // Adds the padding and the bit length; GetValues then gives the digest.
    void MD5Final();
    // Feeds the first InputLen bytes of InputBuffer. False, feeding nothing, when InputLen is
    // negative, past MaxUpdateBytes or the buffer's size, or would take the total past
    // MaxTotalBytes.
    bool MD5Update(int InputLen, const QByteArray& InputBuffer);

    // value rotated left by bits modulo 32.
    static std::uint32_t LongLeftRotate(std::uint32_t value, int bits);

  private:
    // Adds bytes to the block buffer, transforming each full block; no limit checks.
    void Feed(const unsigned char* bytes, int length);
    // RFC 1321 3.4: one 64-byte block into the state.
    void Transform(const unsigned char* block);

    std::uint32_t state[4] = {};
    int byteCount = 0;
    unsigned char buffer[64] = {};
};
