#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool installSpanishToolkitTexts(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QLocale(QLocale::Spanish, QLocale::Spain), QStringLiteral("qt"), QStringLiteral("_"),
                          folder)) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
