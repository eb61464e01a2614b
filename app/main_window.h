#pragma once

// The program's one window on screen: every control of the layout at its
// fixed place, the graph box, and the wiring of the controls' events to the
// program's handlers in Form1. It is also the Window that Form1 talks to.
//
// Change notifications: when Form1 writes a box, the write is made with the
// box's signals blocked, because Form1 runs the box's change handler itself.
// Every other change (typing, paste, undo, assistive tools) arrives through
// QLineEdit::textChanged and is handed to Form1 once.

#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "app/twip_scale.h"
#include "model/form1.h"
#include "toolkit/layout.h"
#include "toolkit/window.h"

class GraphResults;
class HelpWindow;
class LineElement;
class PictureBox;
class QLabel;
class QLineEdit;
class QLocale;
class QPushButton;

class MainWindow : public QWidget, public calvetra::Window {
    Q_OBJECT
public:
    // separator: the decimal separator numbers are shown with ('.' or ',').
    explicit MainWindow(char separator, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The decimal separator of a locale as the program uses it: '.' or ','.
    static char decimalSeparatorOf(const QLocale& locale);

    // Start-up: reads the boxes and draws the empty graph. Once, before show().
    void load();

    // How a message reaches the user: by default a modal message box. Tests
    // replace it with one that records the text and returns at once.
    using MessagePresenter = std::function<void(const QString&)>;
    void setMessagePresenter(MessagePresenter presenter) { presenter_ = std::move(presenter); }

    // The set-up as an address fragment ("v=1&…&fin"), and a freshly
    // loaded window brought to the set-up of an address (a whole address or
    // its fragment), in the address's language if it gives one; what cannot
    // be applied, the arguments given besides it and a language asked for
    // that the program does not have are named in one message.
    QString address() const;
    void openAddress(const QString& address, const QStringList& otherArguments = {},
                     const QString& unknownLanguage = {});

    // The graph's look, as the program draws it, and another chosen for it.
    const calvetra::layout::GraphLook& graphLook() const { return form_->graphLook(); }
    void chooseGraphLook(const calvetra::layout::GraphLook& look);

    // Every caption, accessible name and description, menu item, title and
    // the help in the current language, and the toolkit's texts with them.
    void retranslate();

    // The graph's menu and the files it writes.
    GraphResults* results() const { return results_; }
    // F1: the help, in its own window beside this one.
    void showHelp();
    HelpWindow* helpWindow() const { return help_; }

    // calvetra::Window
    std::string text(calvetra::Box box) const override;
    void setText(calvetra::Box box, const std::string& text) override;
    void setCaption(calvetra::Label label, const std::string& caption) override;
    void setLegendLineVisible(int index, bool visible) override;
    calvetra::PictureSize pictureSize() const override;
    calvetra::DisplayList& picture() override;
    void setCrossCursor() override;
    void showReadoutNote(const std::string& text, double left, double top) override;
    void showMessage(const std::string& message) override;
    void close() override;

private:
    void buildWindow();
    void buildControls();
    void buildControl(const calvetra::layout::Control& control);
    static void setTexts(const calvetra::layout::Control& control, QWidget* widget);
    QWidget* widget(const calvetra::layout::Control& control) const;
    void findControls();
    void setFocusOrder();
    void connectEvents();
    // Runs one event through Form1, then shows what it drew.
    template <class Action> void handOver(Action&& action);
    // The graph box and the legend lines in the look the program draws in.
    void showGraphLook();
    void showLegendSample(int index, const calvetra::layout::GraphLook& look);
    static void showMessageBox(QWidget* parent, const QString& message);

    TwipScale scale_;
    std::array<QLineEdit*, calvetra::kBoxCount> boxes_{};
    std::array<QLabel*, calvetra::kLabelCount> captions_{};  // indexed by calvetra::Label
    std::array<LineElement*, calvetra::kRunCount> legendLines_{};
    PictureBox* picture_ = nullptr;
    GraphResults* results_ = nullptr;
    HelpWindow* help_ = nullptr;
    MessagePresenter presenter_;
    std::unique_ptr<calvetra::Form1> form_;
    QMetaObject::Connection focusWatch_;  // another window in front
    calvetra::layout::GraphLook shownLook_;
};
