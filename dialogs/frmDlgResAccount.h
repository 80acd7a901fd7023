#pragma once
// The response setting editor: one setting's name, image steps and accepted sender
// addresses. It never changes ResponseSettings: an accepted OK builds EditedResponseSetting,
// and the caller stores it.
#include "settings/CResAccount.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QScrollBar;

class frmDlgResAccount : public QDialog {
    Q_OBJECT
  public:
    explicit frmDlgResAccount(QWidget* parent = nullptr);

    // A new setting named "新しい設定" and the first free number, then the editor modally;
    // answers DialogAccepted.
    bool DlgNew();
    // The setting at 1-based position of ResponseSettings (record is its current value), then
    // the editor modally; answers DialogAccepted.
    bool DlgLoad(const CResAccount& record, int position);
    // Prepares the editor like DlgNew or DlgLoad without showing it.
    void LoadNew();
    void LoadExisting(const CResAccount& record, int position);

    // Answers true and builds EditedResponseSetting when the input is valid; otherwise shows
    // the first fault and answers false.
    bool CheckSetting();
    // Whether a setting of ResponseSettings is named exactly name.
    static bool HasSettingName(const QString& name);

    // True only after OK closed the editor with valid input.
    bool DialogAccepted() const { return accepted; }
    // The setting built by the last successful CheckSetting.
    const CResAccount& EditedResponseSetting() const { return edited; }

  private:
    // Puts record's fields into the controls and applies the enabling rules.
    void Loadset(const CResAccount& record);
    void chkDoReduction_Click();
    void cmbFormat_Click();
    void hscCompression_Change();
    void cmdApplyImageInfo_Click();
    void Command1_0_Click();
    // The name as it will be stored: the text without the spaces at either end.
    QString SettingName() const;

    QLineEdit* txtName;
    QCheckBox* chkDoReduction;
    QLabel* lblReductionWidth;
    QLineEdit* txtReductionWidth;
    QCheckBox* chkReduction;
    QComboBox* cmbRotation;
    QCheckBox* chk256Color;
    QComboBox* cmbFormat;
    QCheckBox* chkProgressive;
    QLabel* lblCompressionTitle;
    QScrollBar* hscCompression;
    QLabel* lblMoreCompression;
    QLabel* lblCompression;
    QPlainTextEdit* txtAcceptedMailAddrs;

    bool isNew = true;
    int position = 0;   // of the edited setting, 1-based; 0 for a new one
    CResAccount loaded; // keeps the fields the editor does not show
    CResAccount edited;
    bool accepted = false;
};
