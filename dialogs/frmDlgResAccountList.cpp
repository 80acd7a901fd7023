#include "dialogs/frmDlgResAccountList.h"

#include "dialogs/DialogWindow.h"
#include "dialogs/frmDlgResAccount.h"

#include "platform/MsgBox.h"
#include "platform/ui/FontSubstitution.h"
#include "settings/ProgramObjects.h"
#include "settings/ResponseSettingCollection.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

frmDlgResAccountList::frmDlgResAccountList(QWidget* parent)
    : QDialog(parent), List1(new QListWidget) {
    List1->setObjectName(QStringLiteral("List1"));
    List1->setFont(QFont(ProportionalGothicFamily()));
    List1->installEventFilter(this);
    auto* cmdAdd = MakeButton("cmdAdd", QStringLiteral("追加"));
    auto* cmdEdit = MakeButton("cmdEdit", QStringLiteral("編集"));
    auto* cmdRemove = MakeButton("cmdRemove", QStringLiteral("削除"));
    auto* ok = MakeButton("Command1", QStringLiteral("OK"));
    connect(cmdAdd, &QPushButton::clicked, this, &frmDlgResAccountList::cmdAdd_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &frmDlgResAccountList::cmdEdit_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmDlgResAccountList::cmdRemove_Click);
    connect(List1, &QListWidget::itemDoubleClicked, this, &frmDlgResAccountList::cmdEdit_Click);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    auto* Label1 = MakeLabel("Label1", QStringLiteral("返信アカウントのグループ分けを行えます。"));
    layout->addWidget(Label1, 0, 0, 1, 2);
    layout->addWidget(List1, 1, 0, 4, 1);
    layout->addWidget(cmdAdd, 1, 1);
    layout->addWidget(cmdEdit, 2, 1);
    layout->addWidget(cmdRemove, 3, 1);
    layout->setRowStretch(4, 1);
    layout->addLayout(MakeButtonRow(this, ok, nullptr), 5, 0, 1, 2);
    List1->setMinimumSize(List1->fontMetrics().averageCharWidth() * 36,
                          List1->fontMetrics().lineSpacing() * 10);
    MakeFixedDialog(this, QStringLiteral("返信アカウント リスト"));
}

void frmDlgResAccountList::DlgShow() {
    RefreshList(0);
    ShowModalCentred(this);
}

void frmDlgResAccountList::RefreshList(int row) {
    List1->clear();
    for (const CResAccount& setting : ResponseSettings)
        List1->addItem(setting.Name);
    SelectRow(row);
}

void frmDlgResAccountList::SelectRow(int row) {
    if (row >= 0 && row < List1->count())
        List1->setCurrentRow(row);
}

void frmDlgResAccountList::cmdAdd_Click() {
    frmDlgResAccount editor(this);
    if (!editor.DlgNew())
        return;
    AddResponseSetting(editor.EditedResponseSetting());
    RefreshList(0);
}

void frmDlgResAccountList::cmdEdit_Click() {
    const int row = List1->currentRow();
    if (row < 0 || List1->selectedItems().isEmpty())
        return;
    frmDlgResAccount editor(this);
    if (!editor.DlgLoad(ResponseSettings[row], row + 1))
        return;
    ResponseSettings[row] = editor.EditedResponseSetting();
    RefreshList(row);
}

void frmDlgResAccountList::cmdRemove_Click() {
    const int row = List1->currentRow();
    if (row < 0 || List1->selectedItems().isEmpty())
        return;
    // The question names the setting it removes.
    const MsgAnswer answer =
        MsgBox(MsgIcon::Question, QStringLiteral("削除の確認"),
               QStringLiteral("「%1」を削除します。よろしいですか？").arg(List1->item(row)->text()),
               MsgButtons::YesNo, MsgDefault::Second);
    if (answer != MsgAnswer::Yes)
        return;
    ResponseSettings.erase(ResponseSettings.begin() + row);
    RefreshList(0);
    SelectRow(row); // the row that moved up; past the end the first row stays selected
}

bool frmDlgResAccountList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == List1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cmdEdit_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
