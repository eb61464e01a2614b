#pragma once

// "Ver tabla de datos": the drawn runs' figures and temperatures in two
// table views, in a window of their own beside the main one (not modal).
// It follows the graph: whenever the graph has been drawn again, the tables
// are built again from the core's tables of the drawn runs.

#include <QWidget>
#include <cstdint>

class QLabel;
class QStandardItemModel;
class QTableView;
namespace calvetra {
class Form1;
class DisplayList;
struct TextTable;
}  // namespace calvetra

class DataTableWindow : public QWidget {
    Q_OBJECT
public:
    DataTableWindow(const calvetra::Form1& form, const calvetra::DisplayList& picture, QWidget* parent);

    // Builds the tables again if the graph has changed since the last time.
    void refresh();

    // The title, the captions and the headings in the current language.
    void retranslate();

    QTableView* runsView() const { return runsView_; }
    QTableView* temperaturesView() const { return temperaturesView_; }

    // A table of the core's in a view, its caption above it; the study of
    // the step lays its tables out the same way.
    static QTableView* makeTable(QStandardItemModel*& model, QWidget* parent);
    static void fill(QStandardItemModel& model, QTableView& view, QLabel& caption, const calvetra::TextTable& table);

private:
    const calvetra::Form1& form_;
    const calvetra::DisplayList& picture_;
    std::uint64_t shownRevision_ = ~std::uint64_t{0};
    QLabel* empty_ = nullptr;
    QLabel* runsCaption_ = nullptr;
    QLabel* temperaturesCaption_ = nullptr;
    QStandardItemModel* runsModel_ = nullptr;
    QStandardItemModel* temperaturesModel_ = nullptr;
    QTableView* runsView_ = nullptr;
    QTableView* temperaturesView_ = nullptr;
};
