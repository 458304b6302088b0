#include "shell/frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kr52-config"));
    // Hidden dialogs do not keep the program alive: closing the main window ends it.
    QApplication::setQuitOnLastWindowClosed(true);
    frmMain window(QCoreApplication::applicationDirPath());
    window.show();
    return QApplication::exec();
}
