#include "app/web_preview.h"

#include <QFileInfo>
#include <QPointer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEnginePage>
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
        if (ok && scrollBeforeRefresh_.isValid()) {
            const QVariantList place = scrollBeforeRefresh_.toList();
            if (place.size() == 2) {
                view_->page()->runJavaScript(
                    QStringLiteral("window.scrollTo(%1, %2);").arg(place[0].toDouble()).arg(place[1].toDouble()));
            }
        }
        scrollBeforeRefresh_ = QVariant();
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

void WebPreview::refresh(const QString& path) {
    const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (view_->url().adjusted(QUrl::RemoveFragment | QUrl::RemoveQuery) != url) {
        navigate(path);
        return;
    }
    address_ = path;
    loading_ = true;
    Q_EMIT stateChanged();
    // The engine keeps the place of a reloaded page most of the time, and of
    // its frames; the top page's place is also put back by hand.
    view_->page()->runJavaScript(QStringLiteral("[window.scrollX, window.scrollY]"),
                                 [self = QPointer<WebPreview>(this)](const QVariant& place) {
                                     if (self) {
                                         self->scrollBeforeRefresh_ = place;
                                         self->view_->reload();
                                     }
                                 });
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
