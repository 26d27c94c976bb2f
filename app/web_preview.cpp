#include "app/web_preview.h"

#include <QFileInfo>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineView>

namespace tessarel {

WebPreview::WebPreview(QWidget* parent) : PreviewBrowser(parent), view_(new QWebEngineView(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    connect(view_, &QWebEngineView::loadStarted, this, [this] {
        loading_ = true;
        Q_EMIT stateChanged();
    });
    connect(view_, &QWebEngineView::loadFinished, this, [this](bool ok) {
        loading_ = false;
        Q_EMIT loadFinished(ok);
        Q_EMIT stateChanged();
    });
    connect(view_, &QWebEngineView::urlChanged, this, &PreviewBrowser::stateChanged);
}

void WebPreview::navigate(const QString& path) {
    address_ = path;
    loading_ = true;
    Q_EMIT stateChanged();
    // A file name may hold "#" or "?", so a path is never parsed as an address.
    const bool address = path.startsWith(QStringLiteral("http://")) || path.startsWith(QStringLiteral("https://"));
    view_->setUrl(address ? QUrl(path) : QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

void WebPreview::showHtml(const QString& html) {
    address_.clear();
    view_->setHtml(html);
}

bool WebPreview::canGoBack() const { return view_->history()->canGoBack(); }
bool WebPreview::canGoForward() const { return view_->history()->canGoForward(); }

void WebPreview::back() { view_->back(); }
void WebPreview::forward() { view_->forward(); }
void WebPreview::stop() { view_->stop(); }

}  // namespace tessarel
