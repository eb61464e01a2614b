#pragma once

class QCoreApplication;

// Makes the toolkit speak Spanish like the rest of the window, whatever the
// system's language: the message box's button, the text boxes' own menu,
// the file and print dialogs. False when the toolkit's Spanish texts are
// not installed (the program then runs with the toolkit's own texts).
bool installSpanishToolkitTexts(QCoreApplication& app);
