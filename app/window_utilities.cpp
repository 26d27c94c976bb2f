#include "app/window_utilities.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>
#include <QWidget>

#include <algorithm>

namespace tessarel {

namespace {

void SetStaysOnTop(QWidget* window, bool onTop) {
    if (window == nullptr || window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) {
        return;
    }
    // Changing a flag re-creates the native window, which hides it and may
    // forget its place.
    const bool visible = window->isVisible();
    const QRect geometry = window->geometry();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    // A window not shown yet has no place to keep: fixing its geometry would
    // pin it to the screen's corner instead of letting it centre on its owner.
    if (visible || window->testAttribute(Qt::WA_Moved)) {
        window->setGeometry(geometry);
    }
    if (visible) {
        window->show();
    }
}

}  // namespace

void MakeTopmost(QWidget* window) { SetStaysOnTop(window, true); }

void MakeNotTopmost(QWidget* window) { SetStaysOnTop(window, false); }

QPoint CentredPosition(const QSize& size, const QRect& ownerFrame, const QRect& available) {
    QPoint place = ownerFrame.center() - QPoint(size.width() / 2, size.height() / 2);
    if (available.isValid()) {
        // The title bar stays reachable: left and top win over right and bottom.
        place.setX(std::max(std::min(place.x(), available.right() + 1 - size.width()), available.left()));
        place.setY(std::max(std::min(place.y(), available.bottom() + 1 - size.height()), available.top()));
    }
    return place;
}

void CentreOnOwner(QWidget* window) {
    if (window == nullptr) {
        return;
    }
    const QWidget* owner = window->parentWidget() != nullptr ? window->parentWidget()->window() : nullptr;
    const QScreen* screen = owner != nullptr ? owner->screen() : window->screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect available = screen != nullptr ? screen->availableGeometry() : QRect();
    const QRect ownerFrame = owner != nullptr && owner->isVisible() ? owner->frameGeometry() : available;
    // The frame is not known before the first show; the client size is close enough.
    const QSize size = window->isVisible() ? window->frameGeometry().size() : window->size();
    window->move(CentredPosition(size, ownerFrame, available));
}

void ShellOpen(const QString& target) {
    const bool address = target.contains(QStringLiteral("://")) || target.startsWith(QStringLiteral("mailto:"));
    QDesktopServices::openUrl(address ? QUrl(target) : QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath()));
}

double ScreenDpi(const QWidget* widget) {
    const QScreen* screen =
        widget != nullptr && widget->screen() != nullptr ? widget->screen() : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->logicalDotsPerInchX() : 96.0;
}

}  // namespace tessarel
