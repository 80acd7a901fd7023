#include "platform/ui/WindowedMsgBox.h"
#include "platform/MsgBox.h"
#include "tests/support/PlainTextLabel.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

// Each box is answered from its own event loop with its default button, the one Enter presses.
TEST(WindowedMsgBox, TheChosenButtonIsTheDefault) {
    const MsgBoxHandler previous = SetMsgBoxHandler({});
    InstallWindowedMsgBox();
    const struct {
        MsgButtons buttons;
        MsgDefault defaultButton;
        MsgAnswer answer;
    } cases[] = {
        {MsgButtons::YesNo, MsgDefault::First, MsgAnswer::Yes},
        {MsgButtons::YesNo, MsgDefault::Second, MsgAnswer::No},
        {MsgButtons::OKCancel, MsgDefault::Second, MsgAnswer::Cancel},
        {MsgButtons::YesNoCancel, MsgDefault::Third, MsgAnswer::Cancel},
        {MsgButtons::OK, MsgDefault::Third, MsgAnswer::OK}, // past the buttons: the first
    };
    for (const auto& c : cases) {
        QString shownText;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || box->defaultButton() == nullptr)
                return;
            timer.stop();
            shownText = box->text();
            box->defaultButton()->click();
        });
        timer.start(5);
        EXPECT_EQ(MsgBox(MsgIcon::Question, QStringLiteral("削除の確認"),
                         QStringLiteral("削除します。よろしいですか？"), c.buttons,
                         c.defaultButton),
                  c.answer);
        EXPECT_EQ(shownText, QStringLiteral("削除します。よろしいですか？"));
    }
    SetMsgBoxHandler(previous);
}

// A box that quotes a server or a file name shows markup in it as text.
TEST(WindowedMsgBox, MarkupInTheTextIsShownAsText) {
    const MsgBoxHandler previous = SetMsgBoxHandler({});
    InstallWindowedMsgBox();
    const QString text = QStringLiteral("<font color=red size=5>送信しました</font>");
    bool plain = false, shown = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || box->defaultButton() == nullptr)
            return;
        timer.stop();
        for (const QLabel* label : box->findChildren<QLabel*>())
            if (label->text() == text) {
                shown = true;
                plain = ShowsTextPlainly(*label);
            }
        box->defaultButton()->click();
    });
    timer.start(5);
    MsgBox(MsgIcon::Critical, QStringLiteral("Error"), text);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(plain);
    SetMsgBoxHandler(previous);
}
