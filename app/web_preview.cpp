#include "app/web_preview.h"

#include "book/search_index.h"
#include "pages/page_frame.h"
#include "support/file_read.h"

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
    // A target in the address would take a Modern page's script there again.
    if (location.hash) { history.replaceState(history.state, '', location.href.replace(/#.*$/, '')); }
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

// Puts a page's new text in place of the one shown, keeping the scroll place:
// much quicker than a reload, which rebuilds the whole view. %1 is the text
// as a string, %2 whether it is a Modern page (written afresh, for its script
// to run again); false when the page could not be replaced.
constexpr char16_t kReplacePage[] =
    uR"(
(function (text, modern) {
    if (window.frames.length > 0 || !document.body) { return false; }
    var x = window.scrollX, y = window.scrollY;
    if (modern) {
        // Its script must run again: the page is written afresh, which also
        // drops the old page's listeners.
        if (!document.body.classList.contains('Modern')) { return false; }
        // Sections off screen have estimated heights: the place is the section
        // at the top of the view (the last to start above it) and how far into it.
        var sections = document.querySelectorAll('.Section'), low = 0, high = sections.length;
        while (low < high) {
            var middle = (low + high) >> 1;
            if (sections[middle].getBoundingClientRect().top <= 0) { low = middle + 1; } else { high = middle; }
        }
        var top = low > 0 ? sections[low - 1] : null;
        var name = top && top.querySelector('a[name]');
        var into = name ? -top.getBoundingClientRect().top : 0;
        name = name ? name.getAttribute('name') : '';
        // A target in the address would take the page's script there instead.
        if (location.hash) { history.replaceState(history.state, '', location.href.replace(/#.*$/, '')); }
        document.open();
        document.write(text);
        document.close();
        // Sections coming near are laid out in the frames that follow, which
        // moves the one on top again: it is put back in each of a few frames.
        var put = function (frames) {
            var mark = name ? document.getElementsByName(name)[0] : null;
            var section = mark && mark.closest('.Section');
            if (!section) {
                window.scrollTo(x, y);
                return;
            }
            window.scrollTo(x, window.scrollY + section.getBoundingClientRect().top + into);
            if (frames > 0) { window.requestAnimationFrame(function () { put(frames - 1); }); }
        };
        put(10);
        return true;
    }
    var next = new DOMParser().parseFromString(text, 'text/html');
    if (next.head.innerHTML !== document.head.innerHTML) {
        document.head.replaceWith(document.adoptNode(next.head));
    }
    document.body.replaceWith(document.adoptNode(next.body));
    window.scrollTo(x, y);
    return true;
})(%1, %2)
)";

/// The most of a page put in place; a longer one is reloaded.
constexpr qint64 kMostReplacedBytes = 16 * 1024 * 1024;

/// A page of Tessarel's that can be put in place of the one shown.
struct ReplaceablePage {
    QString text;  ///< "" when the page must be reloaded
    bool modern = false;
};

/// A page without script (it would not run again) nor frames is swapped in; a
/// Modern page, whose own script starts it, is written afresh; any other file
/// is reloaded.
ReplaceablePage ReplaceableText(const QString& path) {
    if (!IsTessarelPage(path)) {
        return {};
    }
    QByteArray bytes;
    if (!ReadRegularFile(path, bytes, kMostReplacedBytes).ok() || bytes.contains("<frameset") ||
        bytes.contains("<FRAMESET")) {
        return {};
    }
    const qsizetype body = bytes.indexOf("<body class=\"Main Modern\"");
    const bool modern =
        body >= 0 && !bytes.mid(body, bytes.indexOf('>', body) - body).contains("data-kind=\"redirect\"");
    if (!modern && (bytes.contains("<script") || bytes.contains("<SCRIPT"))) {
        return {};
    }
    // The pages that need no script are written in ISO-8859-1 (their charset says so).
    return {modern || bytes.contains("charset=utf-8") ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes), modern};
}

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
    const ReplaceablePage page = ReplaceableText(path);
    if (!page.text.isEmpty()) {
        view_->page()->runJavaScript(
            QString::fromUtf16(kReplacePage)
                .arg(JavaScriptString(page.text), page.modern ? QStringLiteral("true") : QStringLiteral("false")),
            QWebEngineScript::ApplicationWorld, [self = QPointer<WebPreview>(this)](const QVariant& replaced) {
                if (!self) {
                    return;
                }
                if (!replaced.toBool()) {
                    self->reload();
                    return;
                }
                self->loading_ = false;
                Q_EMIT self->loadFinished(true);
                Q_EMIT self->stateChanged();
            });
        return;
    }
    reload();
}

void WebPreview::reload() {
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
