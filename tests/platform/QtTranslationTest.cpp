#include "platform/ui/QtTranslation.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

// The standard buttons and the text boxes' menu, as Qt looks their texts up.
TEST(QtTranslationTest, QtsOwnTextsAreJapanese) {
    ASSERT_TRUE(InstallQtJapanese()) << "qt6-translations-l10n is not installed";
    const struct {
        const char* context;
        const char* english;
        const char* japanese;
    } texts[] = {
        {"QPlatformTheme", "&Yes", "はい(&Y)"},     {"QPlatformTheme", "&No", "いいえ(&N)"},
        {"QPlatformTheme", "Cancel", "キャンセル"}, {"QLineEdit", "&Undo", "元に戻す(&U)"},
        {"QLineEdit", "&Paste", "貼り付け(&P)"},
    };
    for (const auto& text : texts)
        EXPECT_EQ(QCoreApplication::translate(text.context, text.english),
                  QString::fromUtf8(text.japanese))
            << text.english;
}
