#include "app/help_window.h"

#include <QFile>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "model/worked_example.h"

HelpWindow::HelpWindow(char separator, QWidget* parent) : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Ayuda de CALVETRA"));
    browser_->setObjectName(QStringLiteral("HelpText"));
    browser_->setOpenLinks(true);
    browser_->document()->setDocumentMargin(12);
    browser_->setHtml(document(separator));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(browser_);
    resize(640, 560);
    // Escape closes it, as it does a dialog.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
}

QString HelpWindow::document(char separator)
{
    QFile file(QStringLiteral(":/help/ayuda.html"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<p>No se encuentra el texto de la ayuda.</p>");
    return QString::fromStdString(calvetra::fillHelp(file.readAll().toStdString(), separator));
}
