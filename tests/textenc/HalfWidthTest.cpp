#include "textenc/HalfWidth.h"

#include <gtest/gtest.h>

TEST(HalfWidth, MapsFullWidthAsciiAndKatakana) {
    const std::pair<const char*, const char*> cases[] = {
        {"ＣＡＭ", "CAM"},
        {"ｃａｍ０９！～＃＠", "cam09!~#@"},
        {"ＣＡＭ　写真", "CAM 写真"},
        {"ガ", "ｶﾞ"},
        {"ポ", "ﾎﾟ"},
        {"ヴヷヺ", "ｳﾞﾜﾞｦﾞ"},
        {"カメラ・テスト", "ｶﾒﾗ･ﾃｽﾄ"},
        {"「アイウエオー」。、", "｢ｱｲｳｴｵｰ｣｡､"},
        {"ァッヲン゛゜", "ｧｯｦﾝﾞﾟ"},
        // Decomposed voiced marks become the half-width marks as well.
        {"カ\u3099ハ\u309A", "ｶﾞﾊﾟ"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(ToHalfWidth(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}

TEST(HalfWidth, LeavesEverythingElseAsItIs) {
    const char* unchanged[] = {
        "CAM photo ~!",
        "漢字ひらがながぱ",
        "ｶﾒﾗ ｶﾞ",
        "ヵヶヮ",             // small katakana without half-width forms
        "\uff00\uff5f\uffe5", // just outside the ASCII range; full-width yen sign
        "\u2019\u201d",       // quotation marks
        "",
    };
    for (const char* text : unchanged)
        EXPECT_EQ(ToHalfWidth(QString::fromUtf8(text)), QString::fromUtf8(text)) << text;
}
