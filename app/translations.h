#pragma once

// The desktop's texts: the program's own from the catalogue, in the
// language chosen, and the toolkit's (the message box's button, the text
// boxes' own menu, the file and print dialogs) in the same language.

#include <QString>
#include <initializer_list>

#include "toolkit/catalogue.h"

class QCoreApplication;

// A text of the catalogue in the current language.
QString uiText(calvetra::Text key);

// The same with %1, %2 ... replaced by the arguments in order.
QString uiFormat(calvetra::Text key, std::initializer_list<QString> arguments);

// Makes the toolkit speak the program's current language, whatever the
// system's, in place of the language it spoke before. False when the
// toolkit's texts in that language are not installed (the toolkit then
// speaks its own English).
bool installToolkitTexts(QCoreApplication& app);
