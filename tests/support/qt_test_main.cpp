// The main of the widget tests: a QApplication as the program sets it up,
// the toolkit speaking Spanish.

#include <gtest/gtest.h>

#include <QApplication>

#include "app/translations.h"

int main(int argc, char* argv[])
{
    // Tests run without a screen unless told otherwise (also when CTest
    // lists them).
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("CALVETRA"));
    installToolkitTexts(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
