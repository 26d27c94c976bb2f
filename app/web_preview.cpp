#include "app/web_preview.h"

#include <QFileInfo>
#include <QPalette>
#include <QPointer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace tessarel {

namespace {

// Where the reader is: the page shown and the scroll place of the window and
// of every frame within it, as JSON. A reload of a book would otherwise show
// every frame at its first page, at the top.
constexpr char16_t kReadPlaces[] =
    uR"(
(function () {
    function place(w) {
        var frames = [];
        for (var i = 0; i < w.frames.length; ++i) {
            try { frames.push(place(w.frames[i])); } catch (e) { frames.push(null); }
        }
        return {href: w.location.href, x: w.scrollX, y: w.scrollY, frames: frames};
    }
    return JSON.stringify(place(window));
})()
)";

// Puts the reader back: a frame that had moved on to another page goes there
// again (once), then every window scrolls to where it was. %1 is the JSON.
constexpr char16_t kRestorePlaces[] =
    uR"(
(function (saved) {
    function put(w, p, moved) {
        if (!p) { return; }
        if (w.location.href !== p.href && w.frameElement && !moved) {
            var element = w.frameElement;
            element.addEventListener('load', function () { put(element.contentWindow, p, true); }, {once: true});
            w.location.replace(p.href);
            return;
        }
        w.scrollTo(p.x, p.y);
        for (var i = 0; i < w.frames.length && i < p.frames.length; ++i) {
            try { put(w.frames[i], p.frames[i], false); } catch (e) {}
        }
    }
    put(window, saved, false);
})(%1)
)";

}  // namespace

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
        if (ok && !placeBeforeRefresh_.isEmpty()) {
            view_->page()->runJavaScript(QString::fromUtf16(kRestorePlaces).arg(placeBeforeRefresh_),
                                         QWebEngineScript::ApplicationWorld);
        }
        placeBeforeRefresh_.clear();
        Q_EMIT loadFinished(ok);
        Q_EMIT stateChanged();
    });
    connect(view_, &QWebEngineView::loadProgress, this, &PreviewBrowser::loadProgress);
    connect(view_, &QWebEngineView::urlChanged, this, &PreviewBrowser::stateChanged);
}

void WebPreview::navigate(const QString& path) {
    address_ = path;
    loading_ = true;
    Q_EMIT stateChanged();
    // A file name may hold "#" or "?", so a path is never parsed as an address.
    const bool address = path.startsWith(QStringLiteral("http://")) || path.startsWith(QStringLiteral("https://"));
    view_->setUrl(address ? QUrl(path) : PreviewFileUrl(path, palette().color(QPalette::Window).lightness() < 128));
}

QUrl PreviewFileUrl(const QString& path, bool dark) {
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    // A modern page takes the window's theme from its address: this engine
    // cannot tell it the colour scheme. Other pages ignore the query.
    url.setQuery(dark ? QStringLiteral("theme=dark") : QStringLiteral("theme=light"));
    return url;
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
    view_->page()->runJavaScript(QString::fromUtf16(kReadPlaces), QWebEngineScript::ApplicationWorld,
                                 [self = QPointer<WebPreview>(this)](const QVariant& places) {
                                     if (self) {
                                         self->placeBeforeRefresh_ = places.toString();
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
