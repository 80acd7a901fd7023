// Every cell of JIS X 0208 rows 1 to 84 through both conversions, cross-checked against the C
// library's own ISO-2022-JP and CP932 tables where the cell holds a character.
#include "textenc/modConvXJIS.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace {

// glibc's conversion of one ISO-2022-JP text to CP932; false where it has no character.
class IconvJisToCp932 {
  public:
    IconvJisToCp932() : cd(iconv_open("CP932", "ISO-2022-JP")) {}
    ~IconvJisToCp932() {
        if (Ok())
            iconv_close(cd);
    }
    IconvJisToCp932(const IconvJisToCp932&) = delete;
    IconvJisToCp932& operator=(const IconvJisToCp932&) = delete;

    bool Ok() const { return cd != reinterpret_cast<iconv_t>(-1); }

    bool Convert(const QByteArray& jis, QByteArray& retSjis) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        QByteArray in = jis;
        char out[64];
        char* src = in.data();
        size_t inLeft = static_cast<size_t>(in.size());
        char* dst = out;
        size_t outLeft = sizeof(out);
        if (iconv(cd, &src, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1))
            return false;
        retSjis = QByteArray(out, dst - out);
        return true;
    }

  private:
    iconv_t cd;
};

const QByteArray ToTwoByte("\x1b$B", 3);
const QByteArray ToOneByte("\x1b(B", 3);

} // namespace

TEST(JisX0208, EveryCellOfRows1To84RoundTripsAndMatchesTheSystemTables) {
    IconvJisToCp932 reference;
    ASSERT_TRUE(reference.Ok());
    int defined = 0;
    QByteArray allJis, allSjis;
    for (int j1 = 0x21; j1 <= 0x74; ++j1) {
        QByteArray rowJis = ToTwoByte, rowSjis;
        for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
            const auto code = static_cast<std::uint16_t>(j1 * 256 + j2);
            const std::uint16_t sjis = JisCodeToSjis(code);
            ASSERT_TRUE(IsSjisLeadByte(sjis >> 8)) << std::hex << code;
            ASSERT_EQ(SjisCodeToJis(sjis), code) << std::hex << code;

            const QByteArray cellJis = ToTwoByte + char(j1) + char(j2) + ToOneByte;
            const QByteArray cellSjis = JisToSjis(cellJis);
            ASSERT_EQ(cellSjis, QByteArray(1, char(sjis >> 8)) + char(sjis & 0xFF));
            ASSERT_EQ(SjisToJis(cellSjis), cellJis);

            QByteArray expected;
            if (reference.Convert(cellJis, expected)) {
                ++defined;
                EXPECT_EQ(cellSjis.toHex(), expected.toHex()) << std::hex << code;
            }
            rowJis += char(j1);
            rowJis += char(j2);
            rowSjis += cellSjis;
        }
        allJis += rowJis + ToOneByte + '\n';
        allSjis += rowSjis + "\r\n";
    }
    // JIS X 0208 (1990) holds 6879 characters, all of them in these rows.
    EXPECT_EQ(defined, 6879);
    // Whole rows as one text: runs, escapes and line ends together.
    EXPECT_EQ(JisToSjis(allJis), allSjis);
    EXPECT_EQ(SjisToJis(allSjis), allJis);
}
