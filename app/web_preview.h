#pragma once

#include "app/preview_browser.h"

#include <QUrl>

class QWebEngineView;

namespace tessarel {

/// The address the preview loads a local file at: with the window's theme
/// (`?theme=light` or `dark`), which a modern book's pages follow.
QUrl PreviewFileUrl(const QString& path, bool dark);

/// The preview browser of the program: a web engine view.
class WebPreview : public PreviewBrowser {
    Q_OBJECT
public:
    explicit WebPreview(QWidget* parent = nullptr);

    void navigate(const QString& path) override;
    void showHtml(const QString& html) override;
    void refresh(const QString& path) override;
    void back() override;
    void forward() override;
    void stop() override;
    QString currentAddress() const override { return address_; }
    bool isLoading() const override { return loading_; }
    bool canGoBack() const override;
    bool canGoForward() const override;

private:
    /// Reloads the page shown, putting the reader back where they were.
    void reload();

    QWebEngineView* view_;
    QString address_;
    bool loading_ = false;
    /// Where the reader was before a refresh (JSON: the page and scroll place
    /// of the window and its frames), to go back there once it has loaded
    /// again; "" when no refresh is under way.
    QString placeBeforeRefresh_;
};

}  // namespace tessarel
