#pragma once

// Results that leave the window: the graph's menu (right click, the Menu
// key, Shift+F10) with "Copiar gráfica", "Guardar gráfica como…",
// "Exportar datos…", "Imprimir…" and "Ver tabla de datos", and their
// shortcuts; the graph's options "Solución exacta", "Modo proyector" and
// "Distinguir las simulaciones sin color". The CSV and SVG files are the core's bytes, the same as the
// web page writes. Files are written
// through a temporary file renamed into place, so a failed write leaves any
// earlier file as it was and is reported in one message.

#include <QAction>
#include <QObject>
#include <QString>
#include <functional>

#include "app/graph_picture.h"
#include "toolkit/layout.h"

class DataTableWindow;
class StepStudyWindow;
class PictureBox;
class QWidget;
namespace calvetra {
class Form1;
}

class GraphResults : public QObject {
    Q_OBJECT
public:
    using MessagePresenter = std::function<void(const QString&)>;
    // Asks where to write: a save dialog by default. Gets the dialog's
    // title, the suggested path and the file types; returns the path
    // chosen, or an empty text when the user cancelled.
    using PathChooser = std::function<QString(const QString& title, const QString& suggested, const QString& types)>;

    GraphResults(QWidget* window, PictureBox* picture, const calvetra::Form1& form, MessagePresenter presenter);

    QAction* copyAction() const { return copy_; }
    QAction* saveAction() const { return save_; }
    QAction* exportAction() const { return export_; }
    QAction* printAction() const { return print_; }
    QAction* tableAction() const { return table_; }
    // "Solución exacta", checked while the exact curves are shown, and
    // "Estudio del paso…".
    QAction* exactAction() const { return exact_; }
    QAction* studyAction() const { return study_; }
    // "Modo proyector" and "Distinguir las simulaciones sin color", checked
    // as the graph's look has them.
    QAction* projectorAction() const { return projector_; }
    QAction* marksAction() const { return marks_; }
    StepStudyWindow* studyWindow() const { return studyWindow_; }
    // The data table's window, once it has been opened.
    DataTableWindow* tableWindow() const { return tableWindow_; }
    void setPathChooser(PathChooser chooser) { chooser_ = std::move(chooser); }

    // The menu's items, and the data table's window, in the current
    // language.
    void retranslate();

    // Items that need a run follow what the graph shows; called after every
    // event the program handles.
    void updateActions();

    // The graph and its legend as they are now.
    GraphPicture picture() const;

    // Writes the graph as PNG, SVG or PDF (by the path's suffix), or the
    // drawn runs as CSV. On failure shows the message and returns false.
    bool saveGraph(const QString& path);
    bool exportData(const QString& path);

    // The folder the next save dialog opens in.
    const QString& folder() const { return folder_; }

public slots:
    void copyGraph();
    void saveGraphAs();
    void exportDataAs();
    void printGraph();
    void showTable();
    void showMenu(const QPoint& position);  // in the graph box's pixels
    void showStudy();

signals:
    // The user asked for the exact solution on or off; the window hands it
    // to the program, which draws or takes away the curves.
    void exactToggled(bool shown);
    // The user chose another look for the graph: a view with its own
    // marks, or the marks on or off in the view shown.
    void lookChosen(const calvetra::layout::GraphLook& look);

private:
    QAction* addAction(const QKeySequence& keys, Qt::ShortcutContext context, QWidget* owner);
    bool writeFile(const QString& path, const std::function<bool(QIODevice&)>& write);
    // Asks where, then writes the bytes there.
    void writeChosen(const QString& title, const QString& name, const QString& types, const std::string& bytes);
    QString choose(const QString& title, const QString& name, const QString& types);

    QWidget* window_;
    PictureBox* picture_;
    const calvetra::Form1& form_;
    MessagePresenter presenter_;
    PathChooser chooser_;
    QString folder_;
    QAction* copy_;
    QAction* save_;
    QAction* export_;
    QAction* print_;
    QAction* table_;
    QAction* exact_;
    QAction* study_;
    QAction* projector_;
    QAction* marks_;
    DataTableWindow* tableWindow_ = nullptr;
    StepStudyWindow* studyWindow_ = nullptr;
};
