#include "app/help_window.h"

#include <QFile>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/translations.h"
#include "model/worked_example.h"
#include "toolkit/catalogue.h"

HelpWindow::HelpWindow(char separator, QWidget* parent)
    : QWidget(parent, Qt::Window), separator_(separator), browser_(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("HelpWindow"));
    browser_->setObjectName(QStringLiteral("HelpText"));
    browser_->setOpenLinks(true);
    browser_->document()->setDocumentMargin(12);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(browser_);
    resize(640, 560);
    retranslate();
    // Escape closes it, as it does a dialog.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
}

void HelpWindow::retranslate()
{
    setWindowTitle(uiText(calvetra::Text::HelpTitle));
    browser_->setHtml(document(separator_));
}

QString HelpWindow::document(char separator)
{
    // The help in the current language; the Spanish one where a language has
    // none.
    QFile file(QStringLiteral(":/help/") + QString::fromStdString(calvetra::catalogue::helpFile()));
    if (!file.exists())
        file.setFileName(QStringLiteral(":/help/ayuda.html"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<p>") + uiText(calvetra::Text::HelpMissing).toHtmlEscaped() + QStringLiteral("</p>");
    return QString::fromStdString(calvetra::fillHelp(file.readAll().toStdString(), separator));
}
