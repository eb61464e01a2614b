#pragma once

// "Estudio del paso": for a drawn run chosen by its name, the core's tables
// of the end temperature by Runge-Kutta, Heun and Euler as the step halves,
// its sentences on why an order is not the method's, and its log-log plot,
// in a window of its own beside the main one (not modal). The CSV and the
// SVG it exports are the core's bytes. It follows the graph as the data
// table does.

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/picture_renderer.h"
#include "model/step_study.h"
#include "toolkit/display_list.h"

class QComboBox;
class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;
namespace calvetra {
class Form1;
}

// The study's plot, rendered from the core's display list.
class StudyPlot : public QWidget {
public:
    explicit StudyPlot(QWidget* parent);
    void show(calvetra::DisplayList list);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    calvetra::DisplayList list_;
    PictureRenderer renderer_;
};

class StepStudyWindow : public QWidget {
    Q_OBJECT
public:
    // write: how the window writes a file (the results' own writer, which
    // asks where and reports a failure); gets the dialog's title, the
    // suggested name, the file types and the bytes.
    using Writer =
        std::function<void(const QString& title, const QString& name, const QString& types, const std::string& bytes)>;
    StepStudyWindow(const calvetra::Form1& form, const calvetra::DisplayList& picture, Writer write, QWidget* parent);

    // The study again if the graph has changed since it was last shown.
    void refresh();
    void retranslate();

    QComboBox* runChoice() const { return runChoice_; }
    const QLabel* notes() const { return notes_; }
    QTableView* table(int method) const { return views_.at(static_cast<std::size_t>(method)); }

private:
    void showStudy();
    std::optional<calvetra::StepStudy> chosenStudy() const;
    void exportCsv();
    void saveSvg();

    const calvetra::Form1& form_;
    const calvetra::DisplayList& picture_;
    Writer write_;
    std::uint64_t shownRevision_ = ~std::uint64_t{0};
    QLabel* empty_ = nullptr;
    QLabel* choiceLabel_ = nullptr;
    QComboBox* runChoice_ = nullptr;
    QLabel* subject_ = nullptr;
    QLabel* notes_ = nullptr;
    StudyPlot* plot_ = nullptr;
    QPushButton* exportButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    std::array<QLabel*, 3> captions_{};
    std::array<QStandardItemModel*, 3> models_{};
    std::array<QTableView*, 3> views_{};
};
