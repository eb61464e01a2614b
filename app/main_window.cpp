#include "app/main_window.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>

#include "app/line_element.h"
#include "app/picture_box.h"

// The diagram and the icon live in a static library's resources, which the
// linker keeps only when they are referenced.
static void initResources() { Q_INIT_RESOURCE(assets); }

using calvetra::Box;
using calvetra::Label;

namespace {

// The window's client area and the graph box, in twips.
constexpr int kClientWidth = 15078;
constexpr int kClientHeight = 7658;
constexpr int kPictureWidth = 6855;
constexpr int kPictureHeight = 5055;

// Faces the layout was drawn with, and the nearest metric-compatible faces
// to take where they are not installed.
void installFontSubstitutes()
{
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("Arimo"), QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial Narrow"),
                               {QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Nimbus Sans Narrow"),
                                QStringLiteral("DejaVu Sans Condensed")});
}

QFont layoutFont(const char* family, double points)
{
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(points);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont windowFont() { return layoutFont("MS Sans Serif", 8.25); }
QFont boxFont() { return layoutFont("MS Sans Serif", 11.41); }
QFont smallFont() { return layoutFont("MS Sans Serif", 9.27); }
QFont creditFont() { return layoutFont("Arial Narrow", 8.56); }

enum LabelStyle : unsigned {
    Plain = 0,
    Transparent = 1,  // the diagram shows through around the text
    Centred = 2,
    Bordered = 4,
};

struct LabelPlace {
    const char* name;
    int left, top, width, height;
    const char* caption;
    QFont (*font)();
    unsigned style;
};

// The labels lying on the window, beneath the boxes and buttons. Those on
// the diagram are transparent and stand beside the feature they name.
const LabelPlace kWindowLabels[] = {
    {"Label1(0)", 3120, 4560, 495, 375, "V (l):", boxFont, Transparent},
    {"Label1(1)", 240, 1080, 1335, 375, "Q1 (l/h):", boxFont, Transparent},
    {"Label1(2)", 3000, 5040, 735, 375, "T (ºC):", boxFont, Transparent},
    {"Label1(3)", 10800, 120, 1455, 375, "t máximo (s):", boxFont, Transparent},
    {"Label4(0)", 9120, 5640, 5775, 255, "", windowFont, Plain},
    {"Label4(1)", 9120, 6000, 5760, 255, "", windowFont, Plain},
    {"Label4(2)", 9120, 6360, 5760, 255, "", windowFont, Plain},
    {"Label5", 13800, 195, 855, 255, "", smallFont, Transparent},
    {"Label1(4)", 6600, 1560, 1215, 615, "Apertura válvula (%)", boxFont, Transparent | Centred},
    {"Label1(5)", 240, 1560, 1455, 375, "T1 (ºC):", boxFont, Transparent},
    {"Label1(6)", 6240, 4080, 1335, 375, "T2 (ºC): ?", boxFont, Transparent},
    {"Label1(7)", 6240, 3600, 855, 375, "Q2 (l/h):", boxFont, Transparent},
    {"Label1(8)", 2160, 2880, 255, 375, "V", smallFont, Transparent},
    {"Label1(9)", 1320, 2520, 1095, 375, "Vmax=V·10", smallFont, Transparent},
    {"Label1(10)", 4320, 480, 735, 375, "q (W):", boxFont, Transparent},
    {"Label6(0)", 9000, 240, 1695, 255, "", windowFont, Plain},
    {"Label7", 120, 7320, 14895, 255,
     "Programa desarrollado con la ayuda de un proyecto de innovación docente de la universidad.", creditFont, Centred},
};

// The labels inside the frame Frame1, in the frame's coordinates. Their
// background is the frame's own surface, which some styles shade: drawing
// none keeps them from standing out as lighter patches.
const LabelPlace kFrameLabels[] = {
    {"Label3(0)", 120, 360, 1455, 255, "t (s)", windowFont, Transparent | Centred},
    {"Label3(1)", 1680, 360, 1455, 255, "T (ºC)", windowFont, Transparent | Centred},
    {"Label2", 1680, 720, 1455, 375, "", boxFont, Transparent | Centred | Bordered},
};

// The labels whose captions the program sets while it runs.
const std::pair<Label, const char*> kCaptionLabels[] = {
    {Label::Label2, "Label2"},      {Label::Label5, "Label5"},      {Label::Label6_0, "Label6(0)"},
    {Label::Label4_0, "Label4(0)"}, {Label::Label4_1, "Label4(1)"}, {Label::Label4_2, "Label4(2)"},
};

QLabel* addLabel(QWidget* parent, const TwipScale& scale, const LabelPlace& place)
{
    auto* label = new QLabel(QString::fromUtf8(place.caption), parent);
    label->setObjectName(QString::fromLatin1(place.name));
    label->setGeometry(scale.rect(place.left, place.top, place.width, place.height));
    label->setFont(place.font());
    // A caption too wide for its label wraps at blanks; what falls below
    // the label is cut off. Captions are plain text, never markup.
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignTop | ((place.style & Centred) ? Qt::AlignHCenter : Qt::AlignLeft));
    label->setAutoFillBackground(!(place.style & Transparent));
    if (place.style & Bordered)
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
    return label;
}

// Places a horizontal or vertical line given by its end points in twips; the
// pen's width spreads evenly about the line.
void placeLine(LineElement* line, const TwipScale& scale, int x1, int y1, int x2, int y2, int widthPixels)
{
    const int before = widthPixels / 2;
    if (y1 == y2)
        line->setGeometry(scale.pixels(x1), scale.pixels(y1) - before, scale.pixels(x2) - scale.pixels(x1),
                          widthPixels);
    else
        line->setGeometry(scale.pixels(x1) - before, scale.pixels(y1), widthPixels,
                          scale.pixels(y2) - scale.pixels(y1));
}

}  // namespace

MainWindow::MainWindow(char separator, QWidget* parent)
    : QWidget(parent), scale_(logicalDpiX()), presenter_([this](const QString& m) { showMessageBox(this, m); })
{
    initResources();
    installFontSubstitutes();
    buildWindow();
    buildDiagram();
    buildLabels();
    buildLegend();
    buildControls();
    buildFrame();
    for (const auto& [label, name] : kCaptionLabels)
        captions_[static_cast<int>(label)] = findChild<QLabel*>(QString::fromLatin1(name));
    setFocusOrder();
    form_ = std::make_unique<calvetra::Form1>(*this, separator);
    connectEvents();
}

MainWindow::~MainWindow() = default;

template <class Action> void MainWindow::handOver(Action&& action)
{
    // Form1's entry points catch every fault of the program themselves.
    action();
    picture_->refresh();
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

void MainWindow::buildWindow()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("CALVETRA"));
    QIcon icon(QStringLiteral(":/calvetra.ico"));
    setWindowIcon(icon.isNull() ? QIcon(QStringLiteral(":/calvetra-256.png")) : icon);
    setFont(windowFont());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);
    setAutoFillBackground(true);
    // Fixed places: a larger window shows more background, nothing moves.
    const QSize client = scale_.rect(0, 0, kClientWidth, kClientHeight).size();
    setMinimumSize(client);
    resize(client);
}

void MainWindow::buildDiagram()
{
    // Created first, so every other control lies above it.
    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(QPixmap(QStringLiteral(":/diagram.jpg")));
    image->setScaledContents(true);
    image->setGeometry(scale_.rect(126, 126, 7420, 5110));
}

void MainWindow::buildLabels()
{
    for (const LabelPlace& place : kWindowLabels)
        addLabel(this, scale_, place);
}

void MainWindow::buildLegend()
{
    const QColor colours[] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)};
    for (int k = 0; k < 3; ++k) {
        auto* line = new LineElement(colours[k], this);
        line->setObjectName(QStringLiteral("Line3(%1)").arg(k));
        placeLine(line, scale_, 8280, 5760 + 360 * k, 8880, 5760 + 360 * k, 2);
        line->hide();
        legendLines_[k] = line;
    }
}

void MainWindow::buildControls()
{
    calcular_ = addButton("Command1", scale_.rect(120, 5880, 3015, 1335), QStringLiteral("Calcular"));
    picture_ = new PictureBox(scale_.pixelsPerTwip(), this);
    picture_->setObjectName(QStringLiteral("Picture2"));
    picture_->setGeometry(scale_.rect(8160, 480, kPictureWidth, kPictureHeight));
    picture_->setAccessibleName(QStringLiteral("Gráfica"));
    picture_->setAccessibleDescription(
        QStringLiteral("Temperatura del tanque en ºC frente al tiempo en segundos; cada simulación en su color: "
                       "rojo, verde y azul, con su leyenda debajo."));
    borrarGrafica_ = addButton("Command2", scale_.rect(8160, 6720, 6855, 495), QStringLiteral("Borrar Gráfica"));

    const auto captionOf = [this](const char* name) { return findChild<QLabel*>(QString::fromLatin1(name))->text(); };
    addBox(this, calvetra::text1(0), scale_.rect(3720, 4560, 1095, 375), "5.4", captionOf("Label1(0)"));
    addBox(this, calvetra::text1(1), scale_.rect(1680, 1080, 1095, 375), "10", captionOf("Label1(1)"));
    addBox(this, calvetra::text1(2), scale_.rect(3720, 5040, 1095, 375), "20", captionOf("Label1(2)"));
    addBox(this, calvetra::text1(3), scale_.rect(12480, 120, 1215, 375), "20000", captionOf("Label1(3)"));
    addBox(this, calvetra::text1(4), scale_.rect(6720, 2160, 735, 375), "100", captionOf("Label1(4)"));
    addBox(this, calvetra::text1(5), scale_.rect(1680, 1560, 1095, 375), "20", captionOf("Label1(5)"));
    addBox(this, calvetra::text1(6), scale_.rect(7080, 3600, 855, 375), "10", captionOf("Label1(7)"));
    addBox(this, calvetra::text1(7), scale_.rect(5040, 480, 1095, 375), "1000", captionOf("Label1(10)"));
    salir_ = addButton("Command3", scale_.rect(3240, 5880, 1455, 1335), QStringLiteral("Salir"));

    // Display only: the user may select and copy but not change them.
    for (int k : {5, 6}) {
        QLineEdit* box = boxes_[k];
        box->setReadOnly(true);
        QPalette pal = box->palette();
        const QColor grey = pal.color(QPalette::Disabled, QPalette::Text);
        pal.setColor(QPalette::Active, QPalette::Text, grey);
        pal.setColor(QPalette::Inactive, QPalette::Text, grey);
        box->setPalette(pal);
    }
}

void MainWindow::buildFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("Instantáneo T = f(t)"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(scale_.rect(4800, 5880, 3255, 1335));
    for (const LabelPlace& place : kFrameLabels)
        addLabel(frame, scale_, place);
    frame->findChild<QLabel*>(QStringLiteral("Label2"))->setAccessibleName(QStringLiteral("T (ºC)"));

    auto* rule = new LineElement(frame);
    rule->setObjectName(QStringLiteral("Line1"));
    placeLine(rule, scale_, 120, 600, 3120, 600, 1);
    auto* divider = new LineElement(frame);
    divider->setObjectName(QStringLiteral("Line2"));
    placeLine(divider, scale_, 1560, 360, 1560, 1080, 1);

    // Made after the labels and lines: boxes lie above them.
    addBox(frame, Box::Text2, scale_.rect(120, 720, 1335, 375), "0", QStringLiteral("t (s)"));
}

QLineEdit* MainWindow::addBox(QWidget* parent, Box box, QRect rect, const char* text, const QString& caption)
{
    auto* edit = new QLineEdit(QString::fromLatin1(text), parent);
    const int index = static_cast<int>(box);
    edit->setObjectName(box == Box::Text2 ? QStringLiteral("Text2") : QStringLiteral("Text1(%1)").arg(index));
    edit->setGeometry(rect);
    edit->setFont(boxFont());
    edit->setAlignment(Qt::AlignCenter);
    edit->setAccessibleName(caption);
    boxes_[index] = edit;
    return edit;
}

QPushButton* MainWindow::addButton(const char* name, QRect rect, const QString& caption)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(rect);
    // No default button: Enter in a box presses nothing.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

void MainWindow::setFocusOrder()
{
    // Tab index order of the layout; labels, lines, the frame, the picture
    // and the graph take no focus.
    QWidget* const order[] = {boxes_[0], boxes_[1], boxes_[2], calcular_, borrarGrafica_, boxes_[3],
                              boxes_[8], boxes_[4], boxes_[5], boxes_[6], salir_,         boxes_[7]};
    for (std::size_t k = 1; k < std::size(order); ++k)
        setTabOrder(order[k - 1], order[k]);
    boxes_[0]->setFocus();
}

void MainWindow::connectEvents()
{
    connect(calcular_, &QPushButton::clicked, this, [this] { handOver([this] { form_->clickCalcular(); }); });
    connect(borrarGrafica_, &QPushButton::clicked, this, [this] { handOver([this] { form_->clickBorrarGrafica(); }); });
    connect(salir_, &QPushButton::clicked, this, [this] { handOver([this] { form_->clickSalir(); }); });
    for (std::size_t k = 0; k < boxes_.size(); ++k) {
        const auto box = static_cast<Box>(k);
        connect(boxes_[k], &QLineEdit::textChanged, this,
                [this, box] { handOver([this, box] { form_->userChangedText(box); }); });
    }
    connect(picture_, &PictureBox::pointerMoved, this,
            [this](float x, float y) { handOver([this, x, y] { form_->mouseMoved(x, y); }); });
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
    captions_[static_cast<int>(label)]->setText(QString::fromStdString(caption));
}

void MainWindow::setLegendLineVisible(int index, bool visible) { legendLines_.at(index)->setVisible(visible); }

calvetra::PictureSize MainWindow::pictureSize() const { return {kPictureWidth, kPictureHeight}; }

calvetra::DisplayList& MainWindow::picture() { return picture_->displayList(); }

void MainWindow::setCrossCursor() { picture_->showCrossCursor(); }

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
