#pragma once
// DES (FIPS 46-3) in CBC mode with an all-zero initial value, as the stored password uses it.
// The encrypted buffer is two random 32-bit words, the plain length L (32-bit little-endian),
// the L plain bytes and zero padding up to a multiple of 8; its text form is uppercase hex.
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

class CDES {
  public:
    // The key text. Its first min(8, characters) code page 932 bytes, zero-filled to 8, make
    // the 64-bit key; assigning the current text again does nothing.
    QString Key() const { return sKey; }
    void SetKey(const QString& New_Value);
    // Derives the round keys from 8 key bytes (fewer are zero-filled); parity bits are ignored.
    void SetKeyBytes(const QByteArray& keyBytes);

    // Encrypts Text (as code page 932) under Key, or under the current key when Key is empty;
    // answers the hex form, or with OutputInHex false the encrypted bytes as code page 932
    // text, which does not always turn back into the same bytes (the code page maps some
    // characters from two byte pairs), so only the hex form is stored.
    QString EncryptString(const QString& Text, const QString& Key = QString(),
                          bool OutputInHex = true);
    // Reverses EncryptString; Text is hex (see Decode) or, with IsTextInHex false, code page
    // 932 bytes. False and an empty retText when the bytes are no buffer made here.
    bool DecryptString(const QString& Text, QString& retText, const QString& Key = QString(),
                       bool IsTextInHex = true);

    // Replaces the plain bytes by their encrypted buffer, with fresh random words each call.
    void EncryptByte(QByteArray& byteArray, const QString& Key = QString());
    // Replaces an encrypted buffer by its plain bytes. No bytes give no bytes. False (and no
    // bytes) when the size is not a multiple of 8 or the size descriptor does not fit it.
    bool DecryptByte(QByteArray& byteArray, const QString& Key = QString());

    // Bytes from hex text: CR LF, "+" and "." are removed first, an odd last digit is ignored,
    // a pair that is not hex gives 0.
    static QByteArray Decode(const QString& strHexCode);

    // One block of plain DES under the current key, the first byte most significant.
    uint64_t EncryptBlock(uint64_t block) const;
    uint64_t DecryptBlock(uint64_t block) const;

  private:
    uint64_t Crypt(uint64_t block, bool decrypt) const;

    QString sKey;                         // empty: eight zero bytes
    std::array<uint64_t, 16> roundKeys{}; // 48 bits each; all zero for the zero key
};
