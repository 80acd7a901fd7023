#include "dialogs/frmDlgResAccountList.h"

#include "settings/ProgramObjects.h"
#include "tests/dialogs/DialogDriving.h"
#include "tests/support/MsgBoxRecorder.h"
#include "tests/support/ProgramObjectsReset.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>

namespace {

CResAccount Setting(const QString& name) {
    CResAccount setting;
    setting.Name = name;
    setting.vAcceptedMailAddrs = QStringList{name + QStringLiteral("@example.jp")};
    return setting;
}

QStringList CollectionNames() {
    QStringList names;
    for (const CResAccount& setting : ResponseSettings)
        names << setting.Name;
    return names;
}

class ResAccountListTest : public ::testing::Test {
  protected:
    ResAccountListTest() {
        ResponseSettings = {Setting(QStringLiteral("a")), Setting(QStringLiteral("b")),
                            Setting(QStringLiteral("c"))};
        list.RefreshList(0);
        EXPECT_TRUE(ShowActive(&list));
    }
    ~ResAccountListTest() override { ResetProgramObjects(); }

    QListWidget* List1() { return Control<QListWidget>(&list, "List1"); }
    QStringList Rows() {
        QStringList rows;
        for (int i = 0; i < List1()->count(); ++i)
            rows << List1()->item(i)->text();
        return rows;
    }
    int SelectedRow() {
        const QList<QListWidgetItem*> selected = List1()->selectedItems();
        return selected.size() == 1 ? List1()->row(selected[0]) : -1;
    }
    void Select(int row) { List1()->setCurrentRow(row); }
    // The editor that opens next: its name box changed to name and OK, or Cancel when name is
    // empty.
    std::unique_ptr<WhenModalOpens> EditorAnswers(const QString& name) {
        return std::make_unique<WhenModalOpens>("frmDlgResAccount", [this, name](QWidget* editor) {
            shownName = Control<QLineEdit>(editor, "txtName")->text();
            if (name.isEmpty()) {
                Click(editor, "Command1(1)");
                return;
            }
            Type(editor, "txtName", name);
            Control<QPlainTextEdit>(editor, "txtAcceptedMailAddrs")
                ->setPlainText(name + QStringLiteral("@example.jp"));
            Click(editor, "Command1(0)");
        });
    }

    MsgBoxRecorder boxes{MsgAnswer::Yes};
    frmDlgResAccountList list;
    QString shownName;
};

} // namespace

TEST_F(ResAccountListTest, TheListShowsTheNamesInCollectionOrder) {
    EXPECT_EQ(list.windowTitle(), QStringLiteral("返信アカウント リスト"));
    EXPECT_EQ(Rows(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_EQ(List1()->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(Control<QLabel>(&list, "Label1")->text(),
              QStringLiteral("返信アカウントのグループ分けを行えます。"));
    EXPECT_EQ(Control<QPushButton>(&list, "cmdAdd")->text(), QStringLiteral("追加"));
    EXPECT_EQ(Control<QPushButton>(&list, "cmdEdit")->text(), QStringLiteral("編集"));
    EXPECT_EQ(Control<QPushButton>(&list, "cmdRemove")->text(), QStringLiteral("削除"));

    // The refill empties the list first, so a row that does not exist leaves none selected.
    Select(2);
    list.RefreshList(1);
    EXPECT_EQ(SelectedRow(), 1);
    list.RefreshList(3);
    EXPECT_EQ(SelectedRow(), -1);

    // Esc and OK close the list.
    QTest::keyClick(&list, Qt::Key_Escape);
    EXPECT_FALSE(list.isVisible());
}

TEST_F(ResAccountListTest, AddAppendsTheAcceptedSettingAndSelectsTheFirstRow) {
    Select(2);
    {
        auto editor = EditorAnswers(QStringLiteral("d"));
        Click(&list, "cmdAdd");
        EXPECT_TRUE(editor->Ran());
    }
    EXPECT_EQ(shownName, QStringLiteral("新しい設定1"));
    EXPECT_EQ(CollectionNames(), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(Rows(), CollectionNames());
    EXPECT_EQ(SelectedRow(), 0);

    Select(3);
    {
        auto editor = EditorAnswers(QString());
        Click(&list, "cmdAdd");
        EXPECT_TRUE(editor->Ran());
    }
    EXPECT_EQ(CollectionNames(), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(SelectedRow(), 3); // a cancelled add changes nothing
}

TEST_F(ResAccountListTest, EditReplacesTheSelectedSettingInPlace) {
    ResponseSettings[0].SendMail_Subject = QStringLiteral("件名");
    list.RefreshList(0);
    const struct {
        const char* how;
        std::function<void()> edit;
    } ways[] = {
        {"button", [this] { Click(&list, "cmdEdit"); }},
        {"Enter", [this] { QTest::keyClick(List1(), Qt::Key_Return); }},
        {"double-click",
         [this] {
             const QRect row = List1()->visualItemRect(List1()->item(0));
             // The events of a real double click: a click, then the double click.
             QTest::mouseClick(List1()->viewport(), Qt::LeftButton, {}, row.center());
             QTest::mouseDClick(List1()->viewport(), Qt::LeftButton, {}, row.center());
         }},
    };
    int round = 0;
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        const QString before = ResponseSettings[0].Name;
        const QString after = QStringLiteral("first") + QString::number(++round);
        Select(0);
        auto editor = EditorAnswers(after);
        way.edit();
        EXPECT_TRUE(editor->Ran());
        EXPECT_EQ(shownName, before);
        EXPECT_EQ(CollectionNames(), (QStringList{after, "b", "c"}));
        EXPECT_EQ(Rows(), CollectionNames());
        EXPECT_EQ(SelectedRow(), 0);
        EXPECT_EQ(ResponseSettings[0].SendMail_Subject, QStringLiteral("件名"));
        EXPECT_TRUE(list.isVisible()); // Enter did not reach the dialog's default button
    }

    // The middle row keeps its place too; a cancelled edit changes nothing.
    Select(1);
    {
        auto editor = EditorAnswers(QStringLiteral("middle"));
        Click(&list, "cmdEdit");
    }
    EXPECT_EQ(CollectionNames(), (QStringList{"first3", "middle", "c"}));
    EXPECT_EQ(SelectedRow(), 1);
    {
        auto editor = EditorAnswers(QString());
        Click(&list, "cmdEdit");
        EXPECT_TRUE(editor->Ran());
    }
    EXPECT_EQ(CollectionNames(), (QStringList{"first3", "middle", "c"}));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(ResAccountListTest, EditWithoutASelectedRowOpensNothing) {
    List1()->clearSelection();
    auto editor = EditorAnswers(QStringLiteral("x"));
    Click(&list, "cmdEdit");
    QTest::keyClick(List1(), Qt::Key_Return);
    QTest::qWait(30);
    EXPECT_FALSE(editor->Ran());
    EXPECT_EQ(CollectionNames(), (QStringList{"a", "b", "c"}));
}

TEST_F(ResAccountListTest, RemoveAsksAndThenSelectsTheSameRowOrTheFirst) {
    // No keeps everything.
    boxes.SetAnswer(MsgAnswer::No);
    Select(1);
    Click(&list, "cmdRemove");
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    const MsgBoxRequest& ask = boxes.Boxes()[0];
    EXPECT_EQ(ask.title, QStringLiteral("削除の確認"));
    EXPECT_EQ(ask.text, QStringLiteral("「b」を削除します。よろしいですか？"));
    EXPECT_EQ(ask.icon, MsgIcon::Question);
    EXPECT_EQ(ask.buttons, MsgButtons::YesNo);
    EXPECT_EQ(ask.defaultButton, MsgDefault::Second); // No
    EXPECT_EQ(CollectionNames(), (QStringList{"a", "b", "c"}));

    boxes.SetAnswer(MsgAnswer::Yes);
    Select(1);
    Click(&list, "cmdRemove");
    EXPECT_EQ(CollectionNames(), (QStringList{"a", "c"}));
    EXPECT_EQ(Rows(), CollectionNames());
    EXPECT_EQ(SelectedRow(), 1); // the new second row

    Select(1);
    Click(&list, "cmdRemove");
    EXPECT_EQ(CollectionNames(), QStringList{"a"});
    EXPECT_EQ(SelectedRow(), 0); // the last row went: the first stays selected

    List1()->clearSelection();
    Click(&list, "cmdRemove");
    EXPECT_EQ(CollectionNames(), QStringList{"a"}); // nothing selected: nothing asked
    EXPECT_EQ(boxes.Boxes().size(), 3u);

    Select(0);
    Click(&list, "cmdRemove");
    EXPECT_TRUE(ResponseSettings.empty()); // the last setting may go too
    EXPECT_EQ(Rows(), QStringList());

    // An empty list asks nothing; Edit opens nothing.
    Click(&list, "cmdRemove");
    auto editor = EditorAnswers(QStringLiteral("x"));
    Click(&list, "cmdEdit");
    QTest::qWait(30);
    EXPECT_FALSE(editor->Ran());
    EXPECT_EQ(boxes.Boxes().size(), 4u);
}

TEST_F(ResAccountListTest, DlgShowOpensWithTheFirstRowSelected) {
    int shownRow = -2;
    WhenModalOpens driver("frmDlgResAccountList", [&](QWidget* shown) {
        const auto* rows = Control<QListWidget>(shown, "List1");
        shownRow = rows->selectedItems().isEmpty() ? -1 : rows->row(rows->selectedItems()[0]);
        Click(shown, "Command1");
    });
    frmDlgResAccountList modal;
    modal.DlgShow();
    EXPECT_TRUE(driver.Ran());
    EXPECT_EQ(shownRow, 0);
}
