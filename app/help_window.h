#pragma once

// The help (F1): one window beside the main one, not modal, showing the
// program's help document with the figures the program itself works out.

#include <QWidget>

class QTextBrowser;

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // separator: the decimal separator the figures are written with.
    HelpWindow(char separator, QWidget* parent);

    QTextBrowser* browser() const { return browser_; }

    // The title and the document in the current language.
    void retranslate();

    // The help document with its figures filled in.
    static QString document(char separator);

private:
    char separator_;
    QTextBrowser* browser_;
};
