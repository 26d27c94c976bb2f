// Where the main window stands: its place and size restored from and saved to
// the window-state file, its state after a resize, and On Top.
#include "app/handler_guard.h"
#include "app/main_window.h"
#include "app/main_window_state.h"
#include "app/stored_lengths.h"
#include "app/window_user_interface.h"
#include "app/window_utilities.h"
#include "book/workspace.h"
#include "project/window_state.h"
#include "support/environment.h"
#include "support/paths.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>

namespace tessarel {

namespace {

constexpr int kPreviewMinimumHeight = 8;

WindowShow ShowOf(const QWidget* window) {
    if (window->isMinimized()) {
        return WindowShow::Minimized;
    }
    return window->isMaximized() ? WindowShow::Maximized : WindowShow::Normal;
}

}  // namespace

void MainWindow::showAsRestored() {
    if (restoreMaximized_) {
        showMaximized();
    } else {
        show();
    }
}

void MainWindow::restoreWindowState() {
    const RestoredWindowState restored =
        ReadWindowStateFile(DataFolderFile(workspace_.env.paths, kWindowStateFileName));
    const double dpi = ScreenDpi(this);
    if (!restored.fileRead) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen != nullptr) {
            const QRect area = screen->geometry();
            move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
        }
        rememberedState_ = kStateNormal;
        return;
    }
    if (restored.left) {
        move(PixelsFromStoredLength(*restored.left, dpi), y());
    }
    if (restored.top) {
        move(x(), PixelsFromStoredLength(*restored.top, dpi));
    }
    if (restored.width) {
        resize(PixelsFromStoredLength(*restored.width, dpi), height());
    }
    if (restored.height) {
        resize(width(), PixelsFromStoredLength(*restored.height, dpi));
    }
    restoreMaximized_ = restored.maximize;
    rememberedState_ = restored.remembered;
}

void MainWindow::saveWindowState() {
    const double dpi = ScreenDpi(this);
    const WindowShow now = ShowOf(this);
    // The normal bounds, also while maximized or minimized: the frame's place
    // and the window's inner size, which is what restoring sets again.
    QRect bounds(pos(), size());
    if (now != WindowShow::Normal && normalGeometry().isValid()) {
        const QPoint frameOffset = geometry().topLeft() - frameGeometry().topLeft();
        bounds = QRect(normalGeometry().topLeft() - frameOffset, normalGeometry().size());
    }
    WindowState saved;
    saved.state = StateToWrite(rememberedState_, now);
    saved.left = static_cast<float>(StoredLengthFromPixels(bounds.x(), dpi));
    saved.top = static_cast<float>(StoredLengthFromPixels(bounds.y(), dpi));
    saved.width = static_cast<float>(StoredLengthFromPixels(bounds.width(), dpi));
    saved.height = static_cast<float>(StoredLengthFromPixels(bounds.height(), dpi));
    QDir().mkpath(workspace_.env.paths.dataFolder);
    WriteWindowStateFile(ui_, DataFolderFile(workspace_.env.paths, kWindowStateFileName), saved);
}

void MainWindow::applyOnTop() {
    RunReported(workspace_.env, ui_, sites::kApplyOnTop, [this] {
        if (state_.alwaysOnTop) {
            MakeTopmost(this);
        } else {
            MakeNotTopmost(this);
        }
    });
}

void MainWindow::followResize() {
    RunReported(workspace_.env, ui_, sites::kResize, [this] {
        placePreview();
        rememberedState_ = ResizedState(rememberedState_, ShowOf(this));
    });
}

void MainWindow::placePreview() {
    RunReported(workspace_.env, ui_, sites::kPlacePreview, [this] {
        // The layout gives the browser the window's inner area; it never gets
        // smaller than its minimum.
        if (preview != nullptr) {
            preview->setMinimumHeight(kPreviewMinimumHeight);
        }
    });
}

}  // namespace tessarel
