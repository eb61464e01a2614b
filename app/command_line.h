#pragma once

// The desktop program's command line:
//
//   calvetra [--lang CODE] [--projector] [link]
//
// --lang chooses the language (Spanish without it, or for a code the program
// does not have); --projector opens the graph in the projector's look with
// its marks (a link in that look keeps its own marks); link is an address of the web page whose set-up the window
// opens in, and a language the link gives wins over --lang. --help lists the
// options and the languages, --version gives the version; both end the
// program there.

#include <QString>
#include <QStringList>

class MainWindow;

struct CommandLine {
    QString language;        // --lang's code; empty when not given
    bool known = true;       // whether the program speaks that language
    bool projector = false;  // --projector
    QString address;         // the link; empty for none
    QStringList others;      // the arguments after the link
};

// Whether the arguments ask for --help or --version, which are answered on
// the terminal with no window and so with no display.
bool asksOnlyForText(int argc, const char* const* argv);

// Reads the arguments (the program's name first) and chooses the language
// they ask for, the toolkit's texts with it, before any window is built.
CommandLine readCommandLine(const QStringList& arguments);

// Once the window is up: opens the link, or names the unknown language in
// the one message.
void openCommandLine(MainWindow& window, const CommandLine& line);
