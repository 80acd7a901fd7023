#include "platform/ui/StatusLine.h"

#include <gtest/gtest.h>

TEST(StatusLineTest, ALineWiderThanTheLabelEndsInAnEllipsisAndIsWholeInTheTooltip) {
    StatusLine label;
    label.resize(120, 20);
    const QString line = QStringLiteral("2024/05/01 12:00:00  ") +
                         QStringLiteral("POP3サーバーとTLSで接続できませんでした: 証明書の発行者が"
                                        "信頼されていません");
    label.SetLine(line);
    EXPECT_EQ(label.text(), line);
    EXPECT_EQ(label.toolTip(), line);
    const QString shown = label.ShownText();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(line.startsWith(shown.chopped(1)));
    EXPECT_LE(label.fontMetrics().horizontalAdvance(shown), 120);

    // A line that fits is shown whole.
    label.resize(label.fontMetrics().horizontalAdvance(line) + 10, 20);
    EXPECT_EQ(label.ShownText(), line);
}
