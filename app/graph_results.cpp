#include "app/graph_results.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStandardPaths>

#include "app/data_table_window.h"
#include "app/picture_box.h"
#include "app/step_study_window.h"
#include "app/translations.h"
#include "graph/graph_svg.h"
#include "graph/runs_csv.h"
#include "model/form1.h"
#include "toolkit/layout.h"

using calvetra::Text;

namespace {

// The file types a save dialog offers: each kind's name in the current
// language, then its pattern.
QString fileTypes(std::initializer_list<std::pair<Text, const char*>> types)
{
    QStringList list;
    for (const auto& [name, suffix] : types)
        list << uiText(name) + QStringLiteral(" (*.%1)").arg(QLatin1String(suffix));
    return list.join(QStringLiteral(";;"));
}

QString graphTypes() { return fileTypes({{Text::PngFiles, "png"}, {Text::SvgFiles, "svg"}, {Text::PdfFiles, "pdf"}}); }
QString dataTypes() { return fileTypes({{Text::CsvFiles, "csv"}}); }

// Why a file could not be written, in the user's words (the system's own
// wording would be in the system's language).
QString failureReason(const QSaveFile& file, const QString& path)
{
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.exists())
        return uiText(Text::SaveFailureNoFolder);
    if (!folder.isWritable())
        return uiText(Text::SaveFailureFolderPermission);
    switch (file.error()) {
    case QFileDevice::ResourceError:
        return uiText(Text::SaveFailureDiskFull);
    case QFileDevice::PermissionsError:
        return uiText(Text::SaveFailureFilePermission);
    case QFileDevice::RenameError:
        return uiText(Text::SaveFailureReplace);
    case QFileDevice::OpenError:
        return uiText(Text::SaveFailureCreate);
    default:
        return uiText(Text::SaveFailureIncomplete);
    }
}

// The type the user picked in the dialog decides, unless the name typed
// already ends in one of the offered suffixes.
QString withSuffix(const QString& path, const QString& selectedType, const QString& types)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const QString& type : types.split(QStringLiteral(";;")))
        if (type.contains(QStringLiteral("*.") + suffix + QLatin1Char(')')) && !suffix.isEmpty())
            return path;
    const int star = selectedType.indexOf(QStringLiteral("*."));
    return star < 0 ? path : path + selectedType.mid(star + 1).chopped(1);
}

}  // namespace

GraphResults::GraphResults(QWidget* window, PictureBox* picture, const calvetra::Form1& form,
                           MessagePresenter presenter)
    : QObject(window), window_(window), picture_(picture), form_(form), presenter_(std::move(presenter)),
      folder_(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
{
    if (folder_.isEmpty() || !QFileInfo(folder_).isDir())
        folder_ = QDir::homePath();
    chooser_ = [this](const QString& title, const QString& suggested, const QString& types) {
        QString selected;
        const QString path = QFileDialog::getSaveFileName(window_, title, suggested, types, &selected);
        return path.isEmpty() ? path : withSuffix(path, selected, types);
    };
    // Ctrl+C copies the graph only while the graph has the focus: in a box
    // it copies the box's text, as always.
    copy_ = addAction(QKeySequence::Copy, Qt::WidgetShortcut, picture);
    save_ = addAction(QKeySequence::Save, Qt::WindowShortcut, window);
    export_ = addAction(QKeySequence(Qt::CTRL | Qt::Key_E), Qt::WindowShortcut, window);
    print_ = addAction(QKeySequence::Print, Qt::WindowShortcut, window);
    // Each action inside the program's one guard, like every other.
    const auto guardedAction = [this](QAction* action, void (GraphResults::*run)()) {
        connect(action, &QAction::triggered, this, [this, run] { form_.guarded([this, run] { (this->*run)(); }); });
    };
    guardedAction(copy_, &GraphResults::copyGraph);
    guardedAction(save_, &GraphResults::saveGraphAs);
    guardedAction(export_, &GraphResults::exportDataAs);
    guardedAction(print_, &GraphResults::printGraph);
    table_ = new QAction(this);
    guardedAction(table_, &GraphResults::showTable);
    exact_ = new QAction(this);
    exact_->setCheckable(true);
    connect(exact_, &QAction::toggled, this, &GraphResults::exactToggled);
    study_ = new QAction(this);
    guardedAction(study_, &GraphResults::showStudy);
    projector_ = new QAction(this);
    projector_->setCheckable(true);
    connect(projector_, &QAction::toggled, this, [this](bool on) {
        emit lookChosen(calvetra::layout::lookOf(on ? calvetra::layout::GraphView::Projector
                                                    : calvetra::layout::GraphView::Window));
    });
    marks_ = new QAction(this);
    marks_->setCheckable(true);
    connect(marks_, &QAction::toggled, this, [this](bool on) { emit lookChosen({form_.graphLook().view, on}); });
    retranslate();

    picture->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(picture, &QWidget::customContextMenuRequested, this, &GraphResults::showMenu);
    // The keyboard's way to the menu besides the Menu key.
    auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), picture, nullptr, nullptr, Qt::WidgetShortcut);
    connect(menuKey, &QShortcut::activated, this, [this] { showMenu(picture_->rect().center()); });
    updateActions();
}

QAction* GraphResults::addAction(const QKeySequence& keys, Qt::ShortcutContext context, QWidget* owner)
{
    auto* action = new QAction(this);
    action->setShortcut(keys);
    action->setShortcutContext(context);
    owner->addAction(action);
    return action;
}

void GraphResults::retranslate()
{
    for (const auto& [action, key] : {std::pair{copy_, Text::CopyGraph},
                                      {save_, Text::SaveGraphAs},
                                      {export_, Text::ExportData},
                                      {print_, Text::Print},
                                      {table_, Text::ShowDataTable},
                                      {exact_, Text::ExactSolutionOption},
                                      {study_, Text::StepStudyMenu},
                                      {projector_, Text::ProjectorMode},
                                      {marks_, Text::RunMarksOption}})
        action->setText(uiText(key));
    if (tableWindow_)
        tableWindow_->retranslate();
    if (studyWindow_)
        studyWindow_->retranslate();
}

void GraphResults::updateActions()
{
    export_->setEnabled(!form_.drawnGraph().runs.empty());
    study_->setEnabled(!form_.drawnGraph().runs.empty());
    {
        // The checks follow the program (a link may have turned them on).
        const QSignalBlocker exact(exact_), projector(projector_), marks(marks_);
        exact_->setChecked(form_.exactSolutionShown());
        projector_->setChecked(form_.graphLook().view == calvetra::layout::GraphView::Projector);
        marks_->setChecked(form_.graphLook().marks);
    }
    if (tableWindow_ && tableWindow_->isVisible())
        form_.guarded([this] { tableWindow_->refresh(); });
    if (studyWindow_ && studyWindow_->isVisible())
        form_.guarded([this] { studyWindow_->refresh(); });
}

void GraphResults::showTable()
{
    if (!tableWindow_)
        tableWindow_ = new DataTableWindow(form_, picture_->displayList(), window_);
    tableWindow_->refresh();
    tableWindow_->show();
    tableWindow_->raise();
    tableWindow_->activateWindow();
}

void GraphResults::showStudy()
{
    if (!studyWindow_)
        studyWindow_ = new StepStudyWindow(
            form_, picture_->displayList(),
            [this](const QString& title, const QString& name, const QString& types, const std::string& bytes) {
                writeChosen(title, name, types, bytes);
            },
            window_);
    studyWindow_->refresh();
    studyWindow_->show();
    studyWindow_->raise();
    studyWindow_->activateWindow();
}

void GraphResults::writeChosen(const QString& title, const QString& name, const QString& types,
                               const std::string& bytes)
{
    const QString path = choose(title, name, types);
    if (path.isEmpty())
        return;
    writeFile(path, [&](QIODevice& file) {
        return file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
    });
}

void GraphResults::showMenu(const QPoint& position)
{
    updateActions();
    QMenu menu(picture_);
    menu.addActions({copy_, save_, export_, print_});
    menu.addSeparator();
    menu.addAction(table_);
    menu.addAction(exact_);
    menu.addAction(projector_);
    menu.addAction(marks_);
    menu.addAction(study_);
    menu.exec(picture_->mapToGlobal(position));
}

GraphPicture GraphResults::picture() const
{
    std::vector<std::string> legends;
    for (const calvetra::DrawnRun& run : form_.drawnGraph().runs)
        legends.push_back(run.legend);
    const calvetra::layout::GraphLook& look = form_.graphLook();
    return GraphPicture(picture_->displayList(), legends, picture_->font(), PictureColours::inFiles(look.style()),
                        look);
}

void GraphResults::copyGraph() { QApplication::clipboard()->setImage(picture().image(picture_->devicePixelRatioF())); }

QString GraphResults::choose(const QString& title, const QString& name, const QString& types)
{
    return chooser_(title, QDir(folder_).filePath(name), types);
}

void GraphResults::saveGraphAs()
{
    const QString path = choose(uiText(Text::SaveGraphTitle), QStringLiteral("calvetra.png"), graphTypes());
    if (!path.isEmpty())
        saveGraph(path);
}

void GraphResults::exportDataAs()
{
    if (form_.drawnGraph().runs.empty())
        return;
    const QString path = choose(uiText(Text::ExportDataTitle), QStringLiteral("calvetra.csv"), dataTypes());
    if (!path.isEmpty())
        exportData(path);
}

bool GraphResults::saveGraph(const QString& path)
{
    const GraphPicture graph = picture();
    const QString suffix = QFileInfo(path).suffix().toLower();
    return writeFile(path, [&](QIODevice& file) {
        if (suffix == QStringLiteral("svg")) {
            const std::string svg = calvetra::graphSvg(picture_->displayList(), form_.drawnGraph());
            return file.write(svg.data(), static_cast<qint64>(svg.size())) == static_cast<qint64>(svg.size());
        }
        if (suffix == QStringLiteral("pdf"))
            return graph.writePdf(file);
        return graph.writePng(file);
    });
}

bool GraphResults::exportData(const QString& path)
{
    const std::string csv = calvetra::drawnRunsCsv(form_.drawnGraph(), form_.separator());
    return writeFile(path, [&](QIODevice& file) {
        return file.write(csv.data(), static_cast<qint64>(csv.size())) == static_cast<qint64>(csv.size());
    });
}

bool GraphResults::writeFile(const QString& path, const std::function<bool(QIODevice&)>& write)
{
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) && write(file) && file.commit();
    if (!written) {
        file.cancelWriting();
        presenter_(uiFormat(Text::SaveFailed, {QDir::toNativeSeparators(path), failureReason(file, path)}));
        return false;
    }
    folder_ = QFileInfo(path).absolutePath();
    return true;
}

void GraphResults::printGraph()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(QStringLiteral("CALVETRA"));
    QPrintDialog dialog(&printer, window_);
    dialog.setWindowTitle(uiText(Text::PrintTitle));
    if (dialog.exec() == QDialog::Accepted)
        picture().print(printer);
}
