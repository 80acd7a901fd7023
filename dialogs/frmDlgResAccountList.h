#pragma once
// The list of response settings: adds, edits and removes settings of ResponseSettings in
// place. Every change is made at once; there is no way back.
#include <QDialog>

class QListWidget;

class frmDlgResAccountList : public QDialog {
    Q_OBJECT
  public:
    explicit frmDlgResAccountList(QWidget* parent = nullptr);

    // RefreshList(0), then the list modally.
    void DlgShow();
    // Refills the list with the setting names in collection order and selects row (0-based)
    // when it exists; otherwise the selection stays as it was.
    void RefreshList(int row);

    // The buttons' commands. Add and Edit open the editor modally.
    void cmdAdd_Click();
    void cmdEdit_Click();
    void cmdRemove_Click();

  protected:
    // Enter in the list edits the selected setting and goes no further.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void SelectRow(int row);

    QListWidget* List1;
};
