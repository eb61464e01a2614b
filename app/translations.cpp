#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>
#include <string>
#include <vector>

QString uiText(calvetra::Text key)
{
    const std::string_view text = calvetra::catalogue::text(key);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString uiFormat(calvetra::Text key, std::initializer_list<QString> arguments)
{
    // The catalogue's own replacement, so that both faces fill a pattern alike.
    std::vector<std::string> utf8;
    for (const QString& a : arguments)
        utf8.push_back(a.toStdString());
    const std::vector<std::string_view> views(utf8.begin(), utf8.end());
    return QString::fromStdString(calvetra::catalogue::format(key, views));
}

namespace {

// The toolkit's catalogues for a language: its own, then Brazilian
// Portuguese's for the base toolkit where European Portuguese has none.
QTranslator* loadToolkitTexts(QObject* owner, const QString& code)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QLocale locale(code == QStringLiteral("pt") ? QStringLiteral("pt_PT") : code);
    auto* translator = new QTranslator(owner);
    if (translator->load(locale, QStringLiteral("qt"), QStringLiteral("_"), folder) ||
        (code == QStringLiteral("pt") &&
         translator->load(QLocale(QStringLiteral("pt_BR")), QStringLiteral("qtbase"), QStringLiteral("_"), folder)))
        return translator;
    delete translator;
    return nullptr;
}

}  // namespace

bool installToolkitTexts(QCoreApplication& app)
{
    static QPointer<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    installed =
        loadToolkitTexts(&app, QString::fromLatin1(calvetra::catalogue::current().code.data(),
                                                   static_cast<qsizetype>(calvetra::catalogue::current().code.size())));
    return installed && QCoreApplication::installTranslator(installed);
}
