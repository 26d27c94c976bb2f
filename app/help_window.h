#pragma once

#include "app/preview_browser.h"

#include <QWidget>

namespace tessarel {

/// A help topic in a window of its own, with its own browser. Showing it never
/// blocks the window that asked.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    HelpWindow(QWidget* owner, const BrowserFactory& makeBrowser);

    /// Shows the topic file, or a short note when it is missing.
    void showTopic(const QString& file);
    PreviewBrowser* browser() const { return browser_; }

private:
    PreviewBrowser* browser_;
};

}  // namespace tessarel
