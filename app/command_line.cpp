#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include "app/main_window.h"
#include "app/translations.h"
#include "toolkit/catalogue.h"

using calvetra::Text;
namespace catalogue = calvetra::catalogue;

namespace {

const QString kLanguageOption = QStringLiteral("lang");
const QString kProjectorOption = QStringLiteral("projector");
const QStringList kHelpOption = {QStringLiteral("h"), QStringLiteral("help")};
const QStringList kVersionOption = {QStringLiteral("v"), QStringLiteral("version")};

// The options in the current language (the toolkit's own --help and
// --version options would be described in its words).
void describe(QCommandLineParser& parser)
{
    QStringList languages;
    for (const catalogue::Language& l : catalogue::languages())
        languages << QString::fromUtf8(l.code.data(), static_cast<qsizetype>(l.code.size())) + QStringLiteral(" (") +
                         QString::fromUtf8(l.name.data(), static_cast<qsizetype>(l.name.size())) + QStringLiteral(")");
    parser.setApplicationDescription(uiText(Text::CommandLineDescription));
    parser.addOption(QCommandLineOption(kHelpOption, uiText(Text::HelpOption)));
    parser.addOption(QCommandLineOption(kVersionOption, uiText(Text::VersionOption)));
    parser.addOption(QCommandLineOption(kLanguageOption,
                                        uiFormat(Text::LanguageOption, {languages.join(QStringLiteral(", "))}),
                                        uiText(Text::LanguageOptionValue)));
    parser.addOption(QCommandLineOption(kProjectorOption, uiText(Text::ProjectorCommandOption)));
    const QString link = uiText(Text::AddressArgumentName);
    parser.addPositionalArgument(link, uiText(Text::AddressArgument), QLatin1Char('[') + link + QLatin1Char(']'));
}

}  // namespace

bool asksOnlyForText(int argc, const char* const* argv)
{
    for (int k = 1; k < argc; ++k) {
        const QString argument = QString::fromLocal8Bit(argv[k]);
        for (const QStringList& names : {kHelpOption, kVersionOption})
            for (const QString& name : names)
                if (argument == QLatin1Char('-') + name || argument == QStringLiteral("--") + name)
                    return true;
    }
    return false;
}

CommandLine readCommandLine(const QStringList& arguments)
{
    CommandLine line;
    {
        // A first reading only for the language, so that --help and the
        // reading's own errors are written in it.
        QCommandLineParser early;
        describe(early);
        early.parse(arguments);
        line.language = early.value(kLanguageOption);
    }
    line.known = catalogue::choose(line.language.toStdString()) || line.language.isEmpty();
    installToolkitTexts(*QCoreApplication::instance());

    QCommandLineParser parser;
    describe(parser);
    parser.process(arguments);
    if (parser.isSet(kHelpOption.front()))
        parser.showHelp(0);
    if (parser.isSet(kVersionOption.front()))
        parser.showVersion();
    line.projector = parser.isSet(kProjectorOption);
    const QStringList positional = parser.positionalArguments();
    if (!positional.isEmpty()) {
        line.address = positional.front();
        line.others = positional.mid(1);
    }
    return line;
}

void openCommandLine(MainWindow& window, const CommandLine& line)
{
    const QString unknown = line.known ? QString() : line.language;
    if (!line.address.isEmpty())
        window.openAddress(line.address, line.others, unknown);
    else if (!unknown.isEmpty())
        window.showMessage(catalogue::unknownLanguageMessage(unknown.toStdString()));
    if (line.projector && window.graphLook().view != calvetra::layout::GraphView::Projector)
        window.chooseGraphLook(calvetra::layout::lookOf(calvetra::layout::GraphView::Projector));
}
