#include "app/help_window.h"
#include "app/window_utilities.h"

#include "app/icons.h"
#include "support/paths.h"

#include <QVBoxLayout>

namespace tessarel {

HelpWindow::HelpWindow(QWidget* owner, const BrowserFactory& makeBrowser)
    : QWidget(owner, Qt::Window), browser_(makeBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Tessarel Help"));
    setWindowIcon(ProgramIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(720, 560);
}

void HelpWindow::showTopic(const QString& file) {
    if (FileExists(file)) {
        browser_->navigate(file);
    } else {
        browser_->showHtml(QStringLiteral("<html><body><p>This help topic is not available: ") +
                           FileNameOf(file).toHtmlEscaped() + QStringLiteral("</p></body></html>"));
    }
    if (!isVisible()) {
        CentreOnOwner(this);
    }
    show();
    raise();
    activateWindow();
}

}  // namespace tessarel
