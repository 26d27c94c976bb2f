#include "app/help_window.h"
#include "app/window_utilities.h"

#include "app/icons.h"
#include "support/paths.h"

#include <QShortcut>
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

    // As in a browser: Esc or Ctrl+W closes, Alt+Left and Alt+Right walk the history.
    const auto keys = [this](std::initializer_list<QKeySequence> sequences, auto action) {
        for (const QKeySequence& sequence : sequences) {
            connect(new QShortcut(sequence, this), &QShortcut::activated, this, action);
        }
    };
    keys({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}, [this] { close(); });
    keys({QKeySequence(Qt::ALT | Qt::Key_Left)}, [this] { browser_->back(); });
    keys({QKeySequence(Qt::ALT | Qt::Key_Right)}, [this] { browser_->forward(); });
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
