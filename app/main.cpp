// CALVETRA: heat balance of a stirred, electrically heated tank whose liquid
// volume changes with time. One window; the program ends when it closes.

#include <QApplication>
#include <QLocale>
#include <QStringList>

#include "app/main_window.h"
#include "app/translations.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("CALVETRA"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    installSpanishToolkitTexts(app);

    MainWindow window(MainWindow::decimalSeparatorOf(QLocale::system()));
    window.load();
    window.show();
    // One argument: an address of the web page (or its fragment) whose
    // set-up the window opens in.
    const QStringList arguments = QApplication::arguments().mid(1);
    if (!arguments.isEmpty())
        window.openAddress(arguments.front(), arguments.mid(1));
    return app.exec();
}
