#pragma once

#include <QWidget>

#include <functional>

namespace tessarel {

/// The embedded browser as the windows use it: navigate to a local file, back,
/// forward and stop. The program uses a web engine view; tests use a light one.
class PreviewBrowser : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    virtual void navigate(const QString& path) = 0;
    virtual void showHtml(const QString& html) = 0;
    /// Shows the file at `path` again after it was rewritten, at the place the
    /// reader had scrolled to when it is the page shown; else as navigate().
    virtual void refresh(const QString& path) { navigate(path); }
    virtual void back() = 0;
    virtual void forward() = 0;
    virtual void stop() = 0;
    /// The file or address last asked for.
    virtual QString currentAddress() const = 0;
    /// True from a navigation until its page has loaded.
    virtual bool isLoading() const = 0;
    /// Whether the history has a page before or after the current one.
    virtual bool canGoBack() const = 0;
    virtual bool canGoForward() const = 0;

Q_SIGNALS:
    /// Loading began or ended, or the history moved: Back, Forward and Stop may change.
    void stateChanged();
    /// A page has finished loading (ok is false for a failed load).
    void loadFinished(bool ok);
    /// How much of the page being loaded has arrived, 0 to 100.
    void loadProgress(int percent);
};

using BrowserFactory = std::function<PreviewBrowser*(QWidget* parent)>;

}  // namespace tessarel
