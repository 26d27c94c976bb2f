#include "app/window_utilities.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>
#include <QWidget>

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
    window->setGeometry(geometry);
    if (visible) {
        window->show();
    }
}

}  // namespace

void MakeTopmost(QWidget* window) { SetStaysOnTop(window, true); }

void MakeNotTopmost(QWidget* window) { SetStaysOnTop(window, false); }

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
