#include "app/main_window.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QWindow>

#include "app/graph_results.h"
#include "app/help_window.h"
#include "app/line_element.h"
#include "app/picture_box.h"
#include "app/translations.h"
#include "graph/whole_graph.h"
#include "model/open_address.h"
#include "toolkit/layout.h"

// The diagram and the icon live in a static library's resources, which the
// linker keeps only when they are referenced.
static void initResources()
{
    Q_INIT_RESOURCE(assets);
    Q_INIT_RESOURCE(help);
}

using calvetra::Box;
using calvetra::Label;

namespace layout = calvetra::layout;

namespace {

// Faces the layout was drawn with, and the faces to take where they are not
// installed.
void installFontSubstitutes()
{
    for (const char* family : {"MS Sans Serif", "Arial Narrow"}) {
        QStringList faces;
        for (const char* face : layout::fontSubstitutes(family))
            faces << QString::fromLatin1(face);
        QFont::insertSubstitutions(QString::fromLatin1(family), faces);
    }
}

QFont qtFont(layout::Font id)
{
    const layout::FontSpec face = layout::fontSpec(id);
    QFont font(QString::fromLatin1(face.family));
    font.setPointSizeF(face.points);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QString qtText(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

QLabel* makeLabel(QWidget* parent, const layout::Control& c)
{
    auto* label = new QLabel(parent);
    // A caption too wide for its label wraps at blanks; what falls below
    // the label is cut off. Captions are plain text, never markup.
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignTop | (c.align == layout::Align::Centre ? Qt::AlignHCenter : Qt::AlignLeft));
    // Inside the frame a label's background is the frame's own surface,
    // which some styles shade: drawing none keeps the labels from standing
    // out as lighter patches there.
    label->setAutoFillBackground(!c.transparent && !c.container);
    if (c.border)
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
    return label;
}

LineElement* makeLine(QWidget* parent, const layout::Control& c)
{
    return c.lineColour.windowText
               ? new LineElement(parent)
               : new LineElement(QColor(c.lineColour.rgb.r, c.lineColour.rgb.g, c.lineColour.rgb.b), parent);
}

QLineEdit* makeBox(QWidget* parent, const layout::Control& c)
{
    auto* edit = new QLineEdit(qtText(c.text), parent);
    edit->setAlignment(c.align == layout::Align::Centre ? Qt::AlignCenter : Qt::AlignLeft);
    if (c.locked) {
        // Display only: the user may select and copy but not change it.
        edit->setReadOnly(true);
        QPalette pal = edit->palette();
        const calvetra::Rgb rgb = layout::kLockedTextColour;
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            pal.setColor(group, QPalette::Text, QColor(rgb.r, rgb.g, rgb.b));
        edit->setPalette(pal);
    }
    return edit;
}

QPushButton* makeButton(QWidget* parent)
{
    auto* button = new QPushButton(parent);
    // No default button: Enter in a box presses nothing.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QLabel* makeImage(QWidget* parent, const layout::Control& c)
{
    auto* image = new QLabel(parent);
    image->setPixmap(QPixmap(QStringLiteral(":/%1.jpg").arg(QString::fromLatin1(c.text))));
    image->setScaledContents(true);
    return image;
}

}  // namespace

MainWindow::MainWindow(char separator, QWidget* parent)
    : QWidget(parent), scale_(logicalDpiX()), presenter_([this](const QString& m) { showMessageBox(this, m); })
{
    initResources();
    installFontSubstitutes();
    buildWindow();
    buildControls();
    findControls();
    setFocusOrder();
    form_ = std::make_unique<calvetra::Form1>(*this, separator);
    picture_->setReadoutPoint(QPointF(form_->readoutPoint().x, form_->readoutPoint().y));
    results_ = new GraphResults(this, picture_, *form_, [this](const QString& m) { presenter_(m); });
    connectEvents();
}

// The program goes before the widgets: nothing may reach it from their end.
MainWindow::~MainWindow() { disconnect(focusWatch_); }

template <class Action> void MainWindow::handOver(Action&& action)
{
    // Form1's entry points catch every fault of the program themselves.
    action();
    showGraphLook();
    picture_->refresh();
    results_->updateActions();
}

char MainWindow::decimalSeparatorOf(const QLocale& locale)
{
    const QString point = locale.decimalPoint();
    return point == QStringLiteral(",") ? ',' : '.';
}

void MainWindow::load()
{
    handOver([this] { form_->load(); });
}

QString MainWindow::address() const { return QString::fromStdString(calvetra::addressOf(*form_, *this)); }

void MainWindow::openAddress(const QString& address, const QStringList& otherArguments, const QString& unknownLanguage)
{
    using calvetra::Text;
    std::string message;
    handOver([&] {
        form_->guarded([&] {
            // The link's language before anything is named, so that the one
            // message is all in it.
            const std::string link = address.toStdString();
            if (calvetra::chooseLinkLanguage(*form_, link))
                retranslate();
            std::vector<std::string> ignored;
            if (!unknownLanguage.isEmpty())
                ignored.push_back(calvetra::catalogue::format(
                    Text::AddressUnknownLanguage, {uiFormat(Text::Quoted, {unknownLanguage.left(30)}).toStdString()}));
            for (const QString& argument : otherArguments)
                ignored.push_back(
                    uiFormat(Text::IgnoredArgument, {uiFormat(Text::Quoted, {argument.left(30)})}).toStdString());
            message = calvetra::openAddress(*form_, *this, link, ignored);
        });
    });
    if (!message.empty())
        showMessage(message);
}

void MainWindow::buildWindow()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(layout::kTitle));
    QIcon icon(QStringLiteral(":/calvetra.ico"));
    setWindowIcon(icon.isNull() ? QIcon(QStringLiteral(":/calvetra-256.png")) : icon);
    setFont(qtFont(layout::Font::Window));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);
    setAutoFillBackground(true);
    // Fixed places: a larger window shows more background, nothing moves.
    const QSize client = scale_.rect(0, 0, layout::kClientWidth, layout::kClientHeight).size();
    setMinimumSize(client);
    resize(client);
}

QWidget* MainWindow::widget(const layout::Control& c) const { return findChild<QWidget*>(QString::fromLatin1(c.name)); }

// Every control of the layout table, in its container, at its rectangle.
void MainWindow::buildControls()
{
    // Containers first, so that their controls have a parent to go into.
    for (const layout::Control& c : layout::controls())
        if (c.kind == layout::Kind::Frame)
            buildControl(c);
    for (const layout::Control& c : layout::controls())
        if (c.kind != layout::Kind::Frame)
            buildControl(c);
    // The diagram beneath everything, labels and lines above it, boxes,
    // buttons, the frame and the graph on top.
    for (auto layer : {layout::Layer::Picture, layout::Layer::Decoration, layout::Layer::Control})
        for (const layout::Control& c : layout::controls())
            if (layout::layerOf(c.kind) == layer)
                widget(c)->raise();
}

void MainWindow::buildControl(const layout::Control& c)
{
    QWidget* parent = c.container ? widget(layout::control(c.container)) : this;
    QWidget* w = nullptr;
    switch (c.kind) {
    case layout::Kind::Image:
        w = makeImage(parent, c);
        break;
    case layout::Kind::Label:
        w = makeLabel(parent, c);
        break;
    case layout::Kind::TextBox:
        w = makeBox(parent, c);
        break;
    case layout::Kind::Button:
        w = makeButton(parent);
        break;
    case layout::Kind::Frame:
        w = new QGroupBox(parent);
        break;
    case layout::Kind::PictureBox:
        w = new PictureBox(scale_.pixelsPerTwip(), parent);
        break;
    case layout::Kind::Line:
        w = makeLine(parent, c);
        break;
    }
    w->setObjectName(QString::fromLatin1(c.name));
    const layout::PixelRect r = layout::pixelRect(c, scale_.pixelsPerTwip());
    w->setGeometry(r.left, r.top, r.width, r.height);
    if (c.font != layout::Font::Window)
        w->setFont(qtFont(c.font));
    setTexts(c, w);
    w->setVisible(c.visible);
}

// A control's caption and what assistive technology says of it, in the
// current language. Captions the program writes at run time (legends,
// read-outs) are left to it.
void MainWindow::setTexts(const layout::Control& c, QWidget* w)
{
    if (c.caption) {
        const QString caption = qtText(layout::caption(c));
        if (auto* label = qobject_cast<QLabel*>(w))
            label->setText(caption);
        else if (auto* button = qobject_cast<QPushButton*>(w))
            button->setText(caption);
        else if (auto* frame = qobject_cast<QGroupBox*>(w))
            frame->setTitle(caption);
    }
    if (c.accessibleName || c.labelledBy)
        w->setAccessibleName(qtText(layout::accessibleName(c)));
    if (c.accessibleDescription)
        w->setAccessibleDescription(qtText(layout::accessibleDescription(c)));
}

void MainWindow::retranslate()
{
    installToolkitTexts(*QCoreApplication::instance());
    for (const layout::Control& c : layout::controls())
        setTexts(c, widget(c));
    results_->retranslate();
    if (help_)
        help_->retranslate();
}

// The controls the program talks to, by their names in the layout.
void MainWindow::findControls()
{
    for (std::size_t k = 0; k < boxes_.size(); ++k) {
        const layout::Control& c = layout::control(static_cast<Box>(k));
        boxes_[k] = static_cast<QLineEdit*>(widget(c));
        // The caption names the box to assistive technology.
        if (auto* caption = qobject_cast<QLabel*>(widget(layout::control(c.labelledBy))))
            caption->setBuddy(boxes_[k]);
    }
    for (std::size_t k = 0; k < captions_.size(); ++k)
        captions_[k] = static_cast<QLabel*>(widget(layout::control(static_cast<Label>(k))));
    for (int k = 0; k < calvetra::kRunCount; ++k)
        legendLines_[static_cast<std::size_t>(k)] = static_cast<LineElement*>(widget(layout::legendLine(k)));
    picture_ = findChild<PictureBox*>(QStringLiteral("Picture2"));
}

void MainWindow::setFocusOrder()
{
    // Tab index order of the layout. Labels, lines, the frame and the
    // picture never take the focus; the graph does, for the read-out from
    // the keyboard and its menu.
    QList<QWidget*> order;
    for (const layout::Control& c : layout::controls())
        if (c.tabIndex >= 0 &&
            (c.kind == layout::Kind::TextBox || c.kind == layout::Kind::Button || c.kind == layout::Kind::PictureBox))
            order.append(widget(c));
    for (qsizetype k = 1; k < order.size(); ++k)
        setTabOrder(order[k - 1], order[k]);
    boxes_[0]->setFocus();
}

void MainWindow::connectEvents()
{
    for (const calvetra::ButtonHandler& b : calvetra::Form1::buttonHandlers()) {
        auto* button = findChild<QPushButton*>(QString::fromLatin1(b.button));
        connect(button, &QPushButton::clicked, this,
                [this, click = b.click] { handOver([&] { (form_.get()->*click)(); }); });
    }
    for (std::size_t k = 0; k < boxes_.size(); ++k) {
        const auto box = static_cast<Box>(k);
        connect(boxes_[k], &QLineEdit::textChanged, this,
                [this, box] { handOver([this, box] { form_->userChangedText(box); }); });
    }
    connect(picture_, &PictureBox::pointerMoved, this,
            [this](float x, float y) { handOver([this, x, y] { form_->mouseMoved(x, y); }); });
    connect(picture_, &PictureBox::pressed, this, [this](float x, float y) {
        form_->placeReadoutPoint(x, y);
        picture_->setReadoutPoint(QPointF(x, y));
    });
    connect(picture_, &PictureBox::readoutKey, this, [this](int dx, int dy, bool large) {
        handOver([&] { form_->readoutKey(dx, dy, large); });
        const calvetra::GraphPoint p = form_->readoutPoint();
        picture_->setReadoutPoint(QPointF(p.x, p.y));
    });
    connect(picture_, &PictureBox::readoutLeft, this, [this] { handOver([this] { form_->readoutLeft(); }); });
    // Another window in front (the study, the data table, a dialog) takes the
    // read-out's note away, whether or not the pointer's leave came.
    focusWatch_ = connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* focus) {
        if (focus != windowHandle())
            form_->readoutLeft();  // the note alone: nothing of the graph to redraw
    });
    connect(results_, &GraphResults::exactToggled, this,
            [this](bool shown) { handOver([&] { form_->setExactSolution(shown); }); });
    connect(results_, &GraphResults::lookChosen, this, &MainWindow::chooseGraphLook);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    help->setContext(Qt::ApplicationShortcut);
    connect(help, &QShortcut::activated, this, &MainWindow::showHelp);
}

void MainWindow::showHelp()
{
    if (!help_)
        help_ = new HelpWindow(form_->separator(), this);
    help_->show();
    help_->raise();
    help_->activateWindow();
}

std::string MainWindow::text(Box box) const { return boxes_[static_cast<int>(box)]->text().toStdString(); }

void MainWindow::setText(Box box, const std::string& text)
{
    QLineEdit* edit = boxes_[static_cast<int>(box)];
    const QSignalBlocker blocker(edit);
    // A rewrite of the box being typed in (a comma made a point) leaves the
    // cursor where the user had it.
    const int cursor = edit->cursorPosition();
    edit->setText(QString::fromStdString(text));
    if (edit->hasFocus())
        edit->setCursorPosition(cursor);
}

void MainWindow::setCaption(Label label, const std::string& caption)
{
    QLabel* shown = captions_[static_cast<int>(label)];
    const QString text = QString::fromStdString(caption);
    shown->setText(text);
    // A caption longer than its fixed label (the read-out and the answer
    // with the exact solution beside them) is cut off there: the whole of
    // it comes up over the label.
    const bool cut = shown->fontMetrics().horizontalAdvance(text) > shown->width();
    shown->setToolTip(cut ? text : QString());
}

void MainWindow::chooseGraphLook(const layout::GraphLook& look)
{
    handOver([&] { form_->chooseGraphLook(look); });
}

void MainWindow::showGraphLook()
{
    const layout::GraphLook& look = form_->graphLook();
    if (look == shownLook_)
        return;
    shownLook_ = look;
    picture_->setGraphStyle(look.style());
    for (int k = 0; k < calvetra::kRunCount; ++k)
        showLegendSample(k, look);
}

// In the window's own look a legend line is the layout's plain rule; in any
// other it draws the core's sample, as the files have it, in a widget tall
// enough for the run's mark.
void MainWindow::showLegendSample(int index, const layout::GraphLook& look)
{
    const layout::Control& c = layout::legendLine(index);
    LineElement* line = legendLines_.at(static_cast<std::size_t>(index));
    const layout::PixelRect r = layout::pixelRect(c, scale_.pixelsPerTwip());
    if (look == layout::GraphLook{}) {
        line->setGeometry(r.left, r.top, r.width, r.height);
        line->setSample({}, scale_.pixelsPerTwip());
        return;
    }
    const double half = calvetra::legendSampleHalfHeight(look.style());
    const int top = scale_.pixels(c.top - half);
    line->setGeometry(r.left, top, r.width, scale_.pixels(c.top + half) - top);
    calvetra::DisplayList sample;
    const auto y = static_cast<float>(c.top - top / scale_.pixelsPerTwip());
    const auto left = static_cast<float>(r.left / scale_.pixelsPerTwip());
    calvetra::drawLegendSample(sample, index, static_cast<float>(c.left) - left, y, static_cast<float>(c.width) - left,
                               look);
    line->setSample(sample, scale_.pixelsPerTwip());
}

void MainWindow::setLegendLineVisible(int index, bool visible) { legendLines_.at(index)->setVisible(visible); }

calvetra::PictureSize MainWindow::pictureSize() const { return layout::graphSize(); }

calvetra::DisplayList& MainWindow::picture() { return picture_->displayList(); }

void MainWindow::setCrossCursor() { picture_->showCrossCursor(); }

void MainWindow::showReadoutNote(const std::string& text, double left, double top)
{
    picture_->showReadoutNote(qtText(text), QPointF(left, top));
}

void MainWindow::showMessage(const std::string& message)
{
    // What the handler has drawn so far is on screen while the box is up.
    picture_->refresh();
    presenter_(QString::fromStdString(message));
}

void MainWindow::close() { QWidget::close(); }

void MainWindow::showMessageBox(QWidget* parent, const QString& message)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), message, QMessageBox::Ok, parent);
    box.exec();
}
