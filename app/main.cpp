// CALVETRA: heat balance of a stirred, electrically heated tank whose liquid
// volume changes with time. One window; the program ends when it closes.

#include <QApplication>
#include <QLocale>

#include "app/command_line.h"
#include "app/main_window.h"
#include "toolkit/layout.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(calvetra::layout::kTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(calvetra::layout::kVersion));
    // The language before the window, which is built in it. Numbers follow
    // the system's decimal separator; the language never follows the system.
    const CommandLine line = readCommandLine(QApplication::arguments());

    MainWindow window(MainWindow::decimalSeparatorOf(QLocale::system()));
    window.load();
    window.show();
    openCommandLine(window, line);
    return app.exec();
}
