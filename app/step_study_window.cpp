#include "app/step_study_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include "app/data_table_window.h"
#include "app/translations.h"
#include "model/form1.h"
#include "model/step_study_view.h"
#include "toolkit/layout.h"

using calvetra::Text;

namespace {

QString qt(const std::string& s) { return QString::fromStdString(s); }

// The plot's twips as the graph's: 15 to a pixel.
constexpr double kPixelsPerTwip = 1.0 / calvetra::layout::kTwipsPerPixel;

}  // namespace

StudyPlot::StudyPlot(QWidget* parent) : QWidget(parent)
{
    const calvetra::PictureSize size = calvetra::stepStudyPlotSize();
    setFixedSize(static_cast<int>(size.width * kPixelsPerTwip), static_cast<int>(size.height * kPixelsPerTwip));
}

void StudyPlot::show(calvetra::DisplayList list)
{
    list_ = std::move(list);
    update();
}

QSize StudyPlot::sizeHint() const { return minimumSize(); }

void StudyPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    renderer_.render(painter, list_, kPixelsPerTwip, font(), PictureColours::onScreen(palette()));
}

StepStudyWindow::StepStudyWindow(const calvetra::Form1& form, const calvetra::DisplayList& picture, Writer write,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window), form_(form), picture_(picture), write_(std::move(write))
{
    setObjectName(QStringLiteral("EstudioDelPaso"));
    auto* outer = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    choiceLabel_ = new QLabel(this);
    runChoice_ = new QComboBox(this);
    choiceLabel_->setBuddy(runChoice_);
    exportButton_ = new QPushButton(this);
    saveButton_ = new QPushButton(this);
    top->addWidget(choiceLabel_);
    top->addWidget(runChoice_);
    top->addStretch(1);
    top->addWidget(exportButton_);
    top->addWidget(saveButton_);
    outer->addLayout(top);
    empty_ = new QLabel(this);
    subject_ = new QLabel(this);
    subject_->setWordWrap(true);
    outer->addWidget(empty_);
    outer->addWidget(subject_);

    // The tables, the sentences and the plot scroll together.
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    auto* inside = new QWidget(scroll);
    auto* body = new QVBoxLayout(inside);
    for (std::size_t m = 0; m < views_.size(); ++m) {
        captions_[m] = new QLabel(inside);
        views_[m] = DataTableWindow::makeTable(models_[m], inside);
        body->addWidget(captions_[m]);
        body->addWidget(views_[m]);
    }
    notes_ = new QLabel(inside);
    notes_->setWordWrap(true);
    notes_->setTextFormat(Qt::PlainText);
    body->addWidget(notes_);
    plot_ = new StudyPlot(inside);
    body->addWidget(plot_);
    body->addStretch(1);
    scroll->setWidget(inside);
    outer->addWidget(scroll, 1);

    connect(runChoice_, &QComboBox::currentIndexChanged, this, [this] { form_.guarded([this] { showStudy(); }); });
    connect(exportButton_, &QPushButton::clicked, this, [this] { form_.guarded([this] { exportCsv(); }); });
    connect(saveButton_, &QPushButton::clicked, this, [this] { form_.guarded([this] { saveSvg(); }); });
    resize(900, 760);
    retranslate();
}

void StepStudyWindow::retranslate()
{
    setWindowTitle(uiText(Text::StepStudyTitle) + QStringLiteral(" — ") +
                   QString::fromLatin1(calvetra::layout::kTitle));
    choiceLabel_->setText(uiText(Text::StudyRunChoice));
    exportButton_->setText(uiText(Text::ExportData));
    saveButton_->setText(uiText(Text::SaveGraphAs));
    empty_->setText(uiText(Text::NoRuns));
    shownRevision_ = ~std::uint64_t{0};
    refresh();
}

// The choice of run follows the drawn runs, keeping the one chosen where
// it is still drawn.
void StepStudyWindow::refresh()
{
    if (picture_.revision() == shownRevision_)
        return;
    shownRevision_ = picture_.revision();
    const std::vector<std::string> names = calvetra::studyRunChoices(form_.drawnGraph());
    const int chosen = runChoice_->currentIndex();
    {
        const QSignalBlocker blocker(runChoice_);
        runChoice_->clear();
        for (const std::string& name : names)
            runChoice_->addItem(qt(name));
        runChoice_->setCurrentIndex(names.empty() ? -1 : std::clamp(chosen, 0, static_cast<int>(names.size()) - 1));
    }
    showStudy();
}

void StepStudyWindow::showStudy()
{
    const calvetra::DrawnGraph& graph = form_.drawnGraph();
    const int run = runChoice_->currentIndex();
    const bool drawn = run >= 0 && static_cast<std::size_t>(run) < graph.runs.size();
    empty_->setVisible(!drawn);
    for (QWidget* w : std::initializer_list<QWidget*>{subject_, notes_, plot_, exportButton_, saveButton_})
        w->setVisible(drawn);
    for (std::size_t m = 0; m < views_.size(); ++m) {
        captions_[m]->setVisible(drawn);
        views_[m]->setVisible(drawn);
    }
    if (!drawn)
        return;
    const calvetra::StepStudy study = *chosenStudy();
    const calvetra::StepStudyView view =
        calvetra::stepStudyView(study, calvetra::studySubject(graph, static_cast<std::size_t>(run)), form_.separator());
    subject_->setText(qt(view.subject));
    for (std::size_t m = 0; m < views_.size() && m < view.tables.size(); ++m) {
        // The step counts head the rows, so a screen reader names them.
        DataTableWindow::fill(*models_[m], *views_[m], *captions_[m], view.tables[m]);
        views_[m]->setFixedHeight(views_[m]->horizontalHeader()->sizeHint().height() +
                                  views_[m]->verticalHeader()->length() + 2 * views_[m]->frameWidth());
    }
    QStringList notes;
    for (const std::string& note : view.notes)
        notes << qt(note);
    notes_->setText(notes.join(QStringLiteral("\n\n")));
    plot_->show(calvetra::stepStudyPlot(study, form_.separator()));
}

std::optional<calvetra::StepStudy> StepStudyWindow::chosenStudy() const
{
    const calvetra::DrawnGraph& graph = form_.drawnGraph();
    const int run = runChoice_->currentIndex();
    if (run < 0 || static_cast<std::size_t>(run) >= graph.runs.size())
        return std::nullopt;
    return calvetra::stepStudyOf(graph.runs[static_cast<std::size_t>(run)]);
}

void StepStudyWindow::exportCsv()
{
    if (const std::optional<calvetra::StepStudy> study = chosenStudy())
        write_(uiText(Text::ExportDataTitle), QStringLiteral("calvetra-paso.csv"),
               uiText(Text::CsvFiles) + QStringLiteral(" (*.csv)"), calvetra::stepStudyCsv(*study, form_.separator()));
}

void StepStudyWindow::saveSvg()
{
    if (const std::optional<calvetra::StepStudy> study = chosenStudy())
        write_(uiText(Text::SaveGraphTitle), QStringLiteral("calvetra-paso.svg"),
               uiText(Text::SvgFiles) + QStringLiteral(" (*.svg)"), calvetra::stepStudySvg(*study, form_.separator()));
}
