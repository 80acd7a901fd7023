#include "app/Form1.h"
#include "app/ProgramFolderCheck.h"
#include "dialogs/FirstRunRegistration.h"
#include "platform/ui/QtTranslation.h"
#include "platform/ui/TerminationSignal.h"
#include "platform/ui/WindowedMsgBox.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    CatchTerminationSignals();
    QApplication app(argc, argv);
    InstallQtJapanese(); // without it Qt's own texts stay English
    InstallWindowedMsgBox();
    if (!CheckProgramFolderWritable())
        return 1;
    RegisterFirstRunDialogs();
    Form1 form;
    if (!form.Form_Load())
        return 1;
    CloseOnTerminationSignal(&form);
    form.show();
    return app.exec();
}
