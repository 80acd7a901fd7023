#include "dialogs/frmDlgResAccount.h"

#include "dialogs/DialogWindow.h"
#include "dialogs/ErrMsg.h"
#include "dialogs/NumberBox.h"
#include "dialogs/SelAllText.h"
#include "dialogs/ShowImageInfo.h"

#include "platform/Clock.h"
#include "platform/ui/FontSubstitution.h"
#include "settings/ProgramObjects.h"
#include "settings/ResponseSettingCollection.h"
#include "settings/modFileAccess.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <initializer_list>

namespace {

const QDate FirstGifDate(2004, 7, 1);
constexpr int FormatJPEG = 0, FormatGIF = 2;

QGroupBox* MakeFrame(const char* objectName, const QString& title) {
    auto* frame = new QGroupBox(title);
    frame->setObjectName(QString::fromLatin1(objectName));
    return frame;
}

void SetEnabled(std::initializer_list<QWidget*> controls, bool on) {
    for (QWidget* control : controls)
        control->setEnabled(on);
}

// The keys of a scroll bar that has the focus, which it does not take itself: the arrows step
// it, Page Up and Page Down page it, Home and End move it to its ends.
class ScrollBarKeys : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto key = static_cast<QKeyEvent*>(event)->key();
        const QAbstractSlider::SliderAction action =
            key == Qt::Key_Right || key == Qt::Key_Down ? QAbstractSlider::SliderSingleStepAdd
            : key == Qt::Key_Left || key == Qt::Key_Up  ? QAbstractSlider::SliderSingleStepSub
            : key == Qt::Key_PageDown                   ? QAbstractSlider::SliderPageStepAdd
            : key == Qt::Key_PageUp                     ? QAbstractSlider::SliderPageStepSub
            : key == Qt::Key_Home                       ? QAbstractSlider::SliderToMinimum
            : key == Qt::Key_End                        ? QAbstractSlider::SliderToMaximum
                                                        : QAbstractSlider::SliderNoAction;
        if (action == QAbstractSlider::SliderNoAction)
            return false;
        static_cast<QScrollBar*>(watched)->triggerAction(action);
        return true;
    }
};

// An address line as stored: no spaces at either end and no TAB anywhere.
QString CleanAddress(const QString& line) {
    return TrimSpaces(line).remove(u'\t');
}

// The setting of a new editor before the user changes it.
CResAccount NewSetting() {
    const QString base = QStringLiteral("新しい設定");
    CResAccount setting;
    setting.Name = base;
    for (int n = 1; n <= 10000; ++n)
        if (!frmDlgResAccount::HasSettingName(base + QString::number(n))) {
            setting.Name = base + QString::number(n);
            break;
        }
    setting.DoReduction = 0;
    setting.ReductionType = 0;
    setting.ReductionWidth = 100;
    setting.RotationType = 0;
    setting.ColorBit = 24;
    setting.FormatType = FormatJPEG;
    setting.JPEGProgressive = 0;
    setting.JPEGCompression = 0;
    return setting;
}

} // namespace

frmDlgResAccount::frmDlgResAccount(QWidget* parent)
    : QDialog(parent), txtName(MakeTextBox("txtName")),
      chkDoReduction(MakeCheckBox("chkDoReduction", QStringLiteral("縮小する(&D)"))),
      txtReductionWidth(MakeTextBox("txtReductionWidth")),
      chkReduction(MakeCheckBox("chkReduction", QStringLiteral("スムース縮小"))),
      cmbRotation(MakeDropDownList("cmbRotation")),
      chk256Color(MakeCheckBox("chk256Color", QStringLiteral("256色に減色(&D)"))),
      cmbFormat(MakeDropDownList("cmbFormat")),
      chkProgressive(MakeCheckBox("chkProgressive", QStringLiteral("プログレッシブ(&P)"))),
      hscCompression(new QScrollBar(Qt::Horizontal)), txtAcceptedMailAddrs(new QPlainTextEdit) {
    lblReductionWidth =
        MakeLabel("lblReductionWidth", QStringLiteral("横幅(&W)"), txtReductionWidth);
    lblCompressionTitle =
        MakeLabel("lblCompressionTitle", QStringLiteral("圧縮率(&M)"), hscCompression);
    lblMoreCompression = MakeLabel("lblMoreCompression", QStringLiteral("高圧縮→"));
    lblCompression = MakeLabel("lblCompression", QStringLiteral("0%"));
    hscCompression->setObjectName(QStringLiteral("hscCompression"));
    hscCompression->setRange(0, 100);
    hscCompression->setMinimumWidth(160);
    // Reached by Tab and by 圧縮率(&M), and moved by the arrow keys.
    hscCompression->setFocusPolicy(Qt::StrongFocus);
    hscCompression->installEventFilter(new ScrollBarKeys(hscCompression));
    lblCompression->setMinimumWidth(
        lblCompression->fontMetrics().horizontalAdvance(QStringLiteral("100%")));
    txtReductionWidth->setMaxLength(5);
    txtReductionWidth->setMaximumWidth(txtReductionWidth->fontMetrics().averageCharWidth() * 9);
    SelectAllOnFocus(txtName);
    SelectAllOnFocus(txtReductionWidth);
    txtAcceptedMailAddrs->setObjectName(QStringLiteral("txtAcceptedMailAddrs"));
    txtAcceptedMailAddrs->setFont(QFont(GothicFamily()));
    txtAcceptedMailAddrs->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtAcceptedMailAddrs->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtAcceptedMailAddrs->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the buttons; an address never holds a TAB.
    txtAcceptedMailAddrs->setTabChangesFocus(true);
    txtAcceptedMailAddrs->setFixedHeight(txtAcceptedMailAddrs->fontMetrics().lineSpacing() * 6);

    cmbRotation->addItem(QStringLiteral("なし"));
    for (int degrees : {90, 180, 270})
        cmbRotation->addItem(QString::number(degrees) + QStringLiteral("度"));
    cmbFormat->addItems({QStringLiteral("JPEG"), QStringLiteral("PNG")});
    if (LocalNow().date() >= FirstGifDate)
        cmbFormat->addItem(QStringLiteral("GIF"));

    auto* name = new QHBoxLayout;
    name->addWidget(MakeLabel("lblName", QStringLiteral("設定名(&N)"), txtName));
    name->addWidget(txtName);

    auto* fraReduction = MakeFrame("fraReduction", QStringLiteral("縮小(&E)"));
    auto* reduction = new QGridLayout(fraReduction);
    reduction->addWidget(chkDoReduction, 0, 0, 1, 3);
    reduction->addWidget(lblReductionWidth, 1, 0);
    reduction->addWidget(txtReductionWidth, 1, 1);
    reduction->setColumnStretch(2, 1);
    reduction->addWidget(chkReduction, 2, 0, 1, 3);

    auto* steps = new QGridLayout;
    steps->addWidget(MakeLabel("lblRotation", QStringLiteral("回転(&R):"), cmbRotation), 0, 0);
    steps->addWidget(cmbRotation, 0, 1);
    steps->addWidget(MakeFocusLabel("lblColor", QStringLiteral("色(&C):"), chk256Color), 1, 0);
    steps->addWidget(chk256Color, 1, 1);
    steps->setRowStretch(2, 1);

    auto* fraFormat = MakeFrame("fraFormat", QStringLiteral("フォーマット(&F)"));
    auto* format = new QGridLayout(fraFormat);
    format->addWidget(cmbFormat, 0, 0, 1, 2);
    format->addWidget(chkProgressive, 1, 0, 1, 2);
    format->addWidget(lblCompressionTitle, 2, 0);
    format->addWidget(lblMoreCompression, 2, 1, Qt::AlignRight);
    auto* compression = new QHBoxLayout;
    compression->addWidget(hscCompression);
    compression->addWidget(lblCompression);
    format->addLayout(compression, 3, 0, 1, 2);

    auto* image = new QHBoxLayout;
    image->addWidget(fraReduction);
    image->addLayout(steps);
    image->addWidget(fraFormat);

    auto* cmdApplyImageInfo = MakeButton(
        "cmdApplyImageInfo", QStringLiteral("この設定を適用したときのイメージ情報(I)..."));
    auto* ok = MakeButton("Command1(0)", QStringLiteral("OK"));
    auto* cancel = MakeButton("Command1(1)", QStringLiteral("キャンセル"));
    auto* buttons = MakeButtonRow(this, ok, cancel);
    buttons->insertWidget(0, cmdApplyImageInfo);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(name);
    layout->addWidget(
        MakeLabel("lblHeading", QStringLiteral("キャプチャしたイメージの自動編集の設定")));
    layout->addLayout(image);
    layout->addWidget(MakeLabel("lblAcceptedMailAddrs",
                                QStringLiteral("自動返信を許可するメールアドレス(&A)\n"
                                               "(改行で追加できます)"),
                                txtAcceptedMailAddrs));
    layout->addWidget(txtAcceptedMailAddrs);
    layout->addLayout(buttons);
    MakeFixedDialog(this, QStringLiteral("返信アカウント"));

    connect(chkDoReduction, &QCheckBox::toggled, this, &frmDlgResAccount::chkDoReduction_Click);
    connect(cmbFormat, &QComboBox::currentIndexChanged, this, &frmDlgResAccount::cmbFormat_Click);
    connect(hscCompression, &QScrollBar::valueChanged, this,
            &frmDlgResAccount::hscCompression_Change);
    connect(ok, &QPushButton::clicked, this, &frmDlgResAccount::Command1_0_Click);
    connect(cmdApplyImageInfo, &QPushButton::clicked, this,
            &frmDlgResAccount::cmdApplyImageInfo_Click);
}

bool frmDlgResAccount::DlgNew() {
    LoadNew();
    ShowModalCentred(this);
    return accepted;
}

bool frmDlgResAccount::DlgLoad(const CResAccount& record, int recordPosition) {
    LoadExisting(record, recordPosition);
    ShowModalCentred(this);
    return accepted;
}

void frmDlgResAccount::LoadNew() {
    isNew = true;
    position = 0;
    Loadset(NewSetting());
}

void frmDlgResAccount::LoadExisting(const CResAccount& record, int recordPosition) {
    isNew = false;
    position = recordPosition;
    Loadset(record);
}

void frmDlgResAccount::Loadset(const CResAccount& record) {
    accepted = false;
    loaded = record;
    txtName->setText(record.Name);
    chkDoReduction->setChecked(record.DoReduction != 0);
    txtReductionWidth->setText(QString::number(record.ReductionWidth));
    chkReduction->setChecked(record.ReductionType != 0);
    cmbRotation->setCurrentIndex(record.RotationType);
    chk256Color->setChecked(record.ColorBit == 8);
    cmbFormat->setCurrentIndex(record.FormatType);
    chkProgressive->setChecked(record.JPEGProgressive != 0);
    hscCompression->setValue(record.JPEGCompression);
    const auto* addresses = std::get_if<QStringList>(&record.vAcceptedMailAddrs);
    txtAcceptedMailAddrs->setPlainText(addresses ? addresses->join(u'\n') : QString());
    chkDoReduction_Click();
    cmbFormat_Click();
    hscCompression_Change();
}

void frmDlgResAccount::chkDoReduction_Click() {
    SetEnabled({chkReduction, lblReductionWidth, txtReductionWidth}, chkDoReduction->isChecked());
}

void frmDlgResAccount::cmbFormat_Click() {
    // GIF holds at most 256 colours.
    const bool gif = cmbFormat->currentIndex() == FormatGIF;
    if (gif)
        chk256Color->setChecked(true);
    chk256Color->setEnabled(!gif);
    SetEnabled(
        {chkProgressive, lblCompressionTitle, lblMoreCompression, hscCompression, lblCompression},
        cmbFormat->currentIndex() == FormatJPEG);
}

void frmDlgResAccount::hscCompression_Change() {
    lblCompression->setText(QString::number(hscCompression->value()) + u'%');
}

QString frmDlgResAccount::SettingName() const {
    return TrimSpaces(txtName->text());
}

bool frmDlgResAccount::HasSettingName(const QString& name) {
    return FindResponseSettingByName(name) != 0;
}

bool frmDlgResAccount::CheckSetting() {
    // A name is stored without the spaces at its ends, so it is checked that way: the
    // settings file would drop them, and two names could then meet.
    const QString name = SettingName();
    if (name.isEmpty()) {
        ErrMsg(QStringLiteral("設定名が入力されていません"));
        return false;
    }
    const int holder = FindResponseSettingByName(name);
    if (holder != 0 && (isNew || holder != position)) {
        ErrMsg(QStringLiteral("その設定名は既に使用されています"));
        return false;
    }
    int width = 0;
    if (!ReadNumberBox(txtReductionWidth, width) || width < 1) {
        ErrMsg(QStringLiteral("縮小サイズが不正です"));
        return false;
    }
    if (cmbRotation->currentIndex() < 0) {
        ErrMsg(QStringLiteral("回転角度が不正です"));
        return false;
    }
    if (cmbFormat->currentIndex() < 0) {
        ErrMsg(QStringLiteral("フォーマットの種類が不正です"));
        return false;
    }
    if (hscCompression->value() < 0 || hscCompression->value() > 100) {
        ErrMsg(QStringLiteral("JPEGの圧縮率が不正です"));
        return false;
    }
    const QString text = txtAcceptedMailAddrs->toPlainText();
    const QStringList lines = text.split(u'\n');
    // Compared as stored, so that spaces around an address cannot slip a duplicate through.
    for (const QString& line : lines) {
        int index = 0;
        if (FindResponseSetting(CleanAddress(line), index, position)) {
            ErrMsg(QStringLiteral("重複したメールアドレスが使用されています\r\n\"") +
                   CleanAddress(line) + u'"');
            return false;
        }
    }
    if (text.isEmpty()) {
        ErrMsg(QStringLiteral("返信を許可するメールアドレスが不正です"));
        return false;
    }
    QStringList addresses;
    for (const QString& line : lines)
        if (const QString address = CleanAddress(line); !address.isEmpty())
            addresses << address;

    edited = loaded; // the reply's subject and text are not shown here and stay as they were
    edited.Name = name;
    edited.DoReduction = chkDoReduction->isChecked() ? 1 : 0;
    edited.ReductionWidth = width;
    edited.ReductionType = chkReduction->isChecked() ? 1 : 0;
    edited.RotationType = cmbRotation->currentIndex();
    edited.ColorBit = chk256Color->isChecked() ? 8 : 24;
    edited.FormatType = cmbFormat->currentIndex();
    edited.JPEGProgressive = chkProgressive->isChecked() ? 1 : 0;
    edited.JPEGCompression = hscCompression->value();
    // Blank lines only: no addresses, as a setting that was never given any.
    edited.vAcceptedMailAddrs = addresses.isEmpty() ? ParamValue(QString()) : ParamValue(addresses);
    return true;
}

void frmDlgResAccount::cmdApplyImageInfo_Click() {
    // Shows the reply this input would give; the result stays unaccepted.
    if (CheckSetting())
        ShowImageInfo(edited, this);
}

void frmDlgResAccount::Command1_0_Click() {
    if (!CheckSetting())
        return;
    accepted = true;
    accept();
}
