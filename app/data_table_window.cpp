#include "app/data_table_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include "app/translations.h"
#include "graph/run_table.h"
#include "model/form1.h"
#include "toolkit/layout.h"

namespace {

QString qt(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

DataTableWindow::DataTableWindow(const calvetra::Form1& form, const calvetra::DisplayList& picture, QWidget* parent)
    : QWidget(parent, Qt::Window), form_(form), picture_(picture)
{
    setObjectName(QStringLiteral("TablaDeDatos"));
    auto* layout = new QVBoxLayout(this);
    empty_ = new QLabel(this);
    runsCaption_ = new QLabel(this);
    temperaturesCaption_ = new QLabel(this);
    layout->addWidget(empty_);
    layout->addWidget(runsCaption_);
    runsView_ = makeTable(runsModel_, this);
    layout->addWidget(runsView_);
    layout->addWidget(temperaturesCaption_);
    temperaturesView_ = makeTable(temperaturesModel_, this);
    layout->addWidget(temperaturesView_, 1);
    resize(720, 640);
    retranslate();
}

void DataTableWindow::retranslate()
{
    // A window's name, a dash, the program's: desktops title windows so in
    // every language.
    setWindowTitle(uiText(calvetra::Text::DataTableTitle) + QStringLiteral(" — ") +
                   QString::fromLatin1(calvetra::layout::kTitle));
    empty_->setText(uiText(calvetra::Text::NoRuns));
    // The tables' headings are the core's, built again in the new language.
    shownRevision_ = ~std::uint64_t{0};
    refresh();
}

QTableView* DataTableWindow::makeTable(QStandardItemModel*& model, QWidget* parent)
{
    model = new QStandardItemModel(parent);
    auto* view = new QTableView(parent);
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->setTabKeyNavigation(false);  // Tab leaves the table; the arrows move from cell to cell
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return view;
}

// Row headers go into the vertical header, so that a screen reader names
// the row and the column of every cell it reads.
void DataTableWindow::fill(QStandardItemModel& model, QTableView& view, QLabel& caption,
                           const calvetra::TextTable& table)
{
    model.clear();
    caption.setText(qt(table.caption));
    view.setAccessibleName(qt(table.caption));
    const int columns = static_cast<int>(table.columns.size()) - 1;
    model.setColumnCount(columns);
    model.setRowCount(static_cast<int>(table.rows.size()));
    for (int c = 0; c < columns; ++c)
        model.setHorizontalHeaderItem(c, new QStandardItem(qt(table.columns[static_cast<std::size_t>(c) + 1])));
    for (int r = 0; r < model.rowCount(); ++r) {
        const auto& row = table.rows[static_cast<std::size_t>(r)];
        model.setVerticalHeaderItem(r, new QStandardItem(qt(row.front())));
        for (int c = 0; c < columns && static_cast<std::size_t>(c) + 1 < row.size(); ++c) {
            auto* item = new QStandardItem(qt(row[static_cast<std::size_t>(c) + 1]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            model.setItem(r, c, item);
        }
    }
}

void DataTableWindow::refresh()
{
    if (picture_.revision() == shownRevision_)
        return;
    shownRevision_ = picture_.revision();
    const calvetra::RunTables tables = calvetra::drawnRunTables(form_.drawnGraph(), form_.separator());
    const bool drawn = !form_.drawnGraph().runs.empty();
    empty_->setVisible(!drawn);
    for (QWidget* w : std::initializer_list<QWidget*>{runsCaption_, runsView_, temperaturesCaption_, temperaturesView_})
        w->setVisible(drawn);
    fill(*runsModel_, *runsView_, *runsCaption_, tables.runs);
    fill(*temperaturesModel_, *temperaturesView_, *temperaturesCaption_, tables.temperatures);
    // The eight rows of figures are shown whole; the temperatures scroll.
    runsView_->setFixedHeight(runsView_->horizontalHeader()->sizeHint().height() +
                              runsView_->verticalHeader()->length() + 2 * runsView_->frameWidth());
}
