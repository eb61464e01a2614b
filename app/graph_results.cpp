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
#include <QStandardPaths>

#include "app/data_table_window.h"
#include "app/picture_box.h"
#include "graph/graph_svg.h"
#include "graph/runs_csv.h"
#include "model/form1.h"
#include "toolkit/layout.h"

namespace {

const QString kGraphTypes = QStringLiteral("Imagen PNG (*.png);;Dibujo SVG (*.svg);;Documento PDF (*.pdf)");
const QString kDataTypes = QStringLiteral("Datos CSV (*.csv)");

// Why a file could not be written, in the user's words (the system's own
// wording would be in the system's language).
QString failureReason(const QSaveFile& file, const QString& path)
{
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.exists())
        return QStringLiteral("la carpeta no existe");
    if (!folder.isWritable())
        return QStringLiteral("no hay permiso para escribir en la carpeta");
    switch (file.error()) {
    case QFileDevice::ResourceError:
        return QStringLiteral("no queda espacio en el disco");
    case QFileDevice::PermissionsError:
        return QStringLiteral("no hay permiso para escribir el archivo");
    case QFileDevice::RenameError:
        return QStringLiteral("no se pudo reemplazar el archivo anterior");
    case QFileDevice::OpenError:
        return QStringLiteral("no se pudo crear el archivo");
    default:
        return QStringLiteral("no se pudo escribir el archivo entero (el disco puede estar lleno)");
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
    copy_ = addAction(QStringLiteral("Copiar gráfica"), QKeySequence::Copy, Qt::WidgetShortcut, picture);
    save_ = addAction(QStringLiteral("Guardar gráfica como…"), QKeySequence::Save, Qt::WindowShortcut, window);
    export_ =
        addAction(QStringLiteral("Exportar datos…"), QKeySequence(Qt::CTRL | Qt::Key_E), Qt::WindowShortcut, window);
    print_ = addAction(QStringLiteral("Imprimir…"), QKeySequence::Print, Qt::WindowShortcut, window);
    // Each action inside the program's one guard, like every other.
    const auto guardedAction = [this](QAction* action, void (GraphResults::*run)()) {
        connect(action, &QAction::triggered, this, [this, run] { form_.guarded([this, run] { (this->*run)(); }); });
    };
    guardedAction(copy_, &GraphResults::copyGraph);
    guardedAction(save_, &GraphResults::saveGraphAs);
    guardedAction(export_, &GraphResults::exportDataAs);
    guardedAction(print_, &GraphResults::printGraph);
    table_ = new QAction(QStringLiteral("Ver tabla de datos"), this);
    guardedAction(table_, &GraphResults::showTable);

    picture->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(picture, &QWidget::customContextMenuRequested, this, &GraphResults::showMenu);
    // The keyboard's way to the menu besides the Menu key.
    auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), picture, nullptr, nullptr, Qt::WidgetShortcut);
    connect(menuKey, &QShortcut::activated, this, [this] { showMenu(picture_->rect().center()); });
    updateActions();
}

QAction* GraphResults::addAction(const QString& text, const QKeySequence& keys, Qt::ShortcutContext context,
                                 QWidget* owner)
{
    auto* action = new QAction(text, this);
    action->setShortcut(keys);
    action->setShortcutContext(context);
    owner->addAction(action);
    return action;
}

void GraphResults::updateActions()
{
    export_->setEnabled(!form_.drawnGraph().runs.empty());
    if (tableWindow_ && tableWindow_->isVisible())
        form_.guarded([this] { tableWindow_->refresh(); });
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

void GraphResults::showMenu(const QPoint& position)
{
    updateActions();
    QMenu menu(picture_);
    menu.addActions({copy_, save_, export_, print_});
    menu.addSeparator();
    menu.addAction(table_);
    menu.exec(picture_->mapToGlobal(position));
}

GraphPicture GraphResults::picture() const
{
    std::vector<LegendEntry> legend;
    const auto& runs = form_.drawnGraph().runs;
    for (std::size_t k = 0; k < runs.size(); ++k) {
        const calvetra::Rgb c = calvetra::layout::legendLine(static_cast<int>(k)).lineColour.rgb;
        legend.push_back({QColor(c.r, c.g, c.b), QString::fromStdString(runs[k].legend)});
    }
    return GraphPicture(picture_->displayList(), std::move(legend), picture_->font(), picture_->palette());
}

void GraphResults::copyGraph() { QApplication::clipboard()->setImage(picture().image(picture_->devicePixelRatioF())); }

QString GraphResults::choose(const QString& title, const QString& name, const QString& types)
{
    return chooser_(title, QDir(folder_).filePath(name), types);
}

void GraphResults::saveGraphAs()
{
    const QString path = choose(QStringLiteral("Guardar gráfica como"), QStringLiteral("calvetra.png"), kGraphTypes);
    if (!path.isEmpty())
        saveGraph(path);
}

void GraphResults::exportDataAs()
{
    if (form_.drawnGraph().runs.empty())
        return;
    const QString path = choose(QStringLiteral("Exportar datos"), QStringLiteral("calvetra.csv"), kDataTypes);
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
    const std::string csv = calvetra::drawnRunsCsv(form_.drawnGraph(), form_.store(), form_.separator());
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
        presenter_(QStringLiteral("No se ha podido guardar el archivo «%1»: %2.")
                       .arg(QDir::toNativeSeparators(path), failureReason(file, path)));
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
    dialog.setWindowTitle(QStringLiteral("Imprimir"));
    if (dialog.exec() == QDialog::Accepted)
        picture().print(printer);
}
