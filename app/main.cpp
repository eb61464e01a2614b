// CALVETRA: heat balance of a stirred, electrically heated tank whose liquid
// volume changes with time. One window; the program ends when it closes.

#include <QApplication>
#include <QLocale>

#include "app/command_line.h"
#include "app/main_window.h"
#include "toolkit/layout.h"

namespace {

void nameTheProgram()
{
    QCoreApplication::setApplicationName(QString::fromLatin1(calvetra::layout::kTitle));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(calvetra::layout::kVersion));
}

}  // namespace

int main(int argc, char* argv[])
{
    if (asksOnlyForText(argc, argv)) {
        // Answered on the terminal: no window, so no display needed.
        QCoreApplication app(argc, argv);
        nameTheProgram();
        readCommandLine(QCoreApplication::arguments());
        return 0;
    }
    QApplication app(argc, argv);
    nameTheProgram();
    // The language before the window, which is built in it. Numbers follow
    // the system's decimal separator; the language never follows the system.
    const CommandLine line = readCommandLine(QApplication::arguments());

    MainWindow window(MainWindow::decimalSeparatorOf(QLocale::system()));
    window.load();
    window.show();
    openCommandLine(window, line);
    return app.exec();
}
