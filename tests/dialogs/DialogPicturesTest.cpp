// The pictures of the dialogs in docs/ show the dialogs as they are: each dialog has exactly
// the controls whose names tools/screenshot-dialogs stored beside its picture.
#include "dialogs/DialogWindow.h"
#include "dialogs/frmDlgImageInfo.h"
#include "dialogs/frmDlgMailAccount.h"
#include "dialogs/frmDlgOption.h"
#include "dialogs/frmDlgResAccount.h"
#include "dialogs/frmDlgResAccountList.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

TEST(DialogPicturesTest, EachDialogHasTheControlsItsPictureWasMadeWith) {
    frmDlgOption option;
    frmDlgMailAccount account;
    frmDlgResAccountList list;
    frmDlgResAccount editor;
    frmDlgImageInfo info;
    const struct {
        const char* picture;
        const QWidget* dialog;
    } pictures[] = {{"option", &option},
                    {"mail-account", &account},
                    {"response-list", &list},
                    {"response-setting", &editor},
                    {"image-info", &info}};
    for (const auto& picture : pictures) {
        SCOPED_TRACE(picture.picture);
        QFile stored(QStringLiteral(VISTREL_SOURCE_DIR "/docs/dialog-%1.objects")
                         .arg(QString::fromLatin1(picture.picture)));
        ASSERT_TRUE(stored.open(QIODevice::ReadOnly)) << stored.fileName().toStdString();
        EXPECT_EQ(ControlNames(picture.dialog).join(u'\n') + u'\n',
                  QString::fromUtf8(stored.readAll()))
            << "the picture is older than the dialog: run tools/screenshot-dialogs";
    }
}
