// The main window's builds and other windows: the lock of a running build,
// progress, busy, help, about, the project dialogs and the file dialogs.
#include "app/about_box.h"
#include "app/busy_window.h"
#include "app/dialogs/project_dialogs.h"
#include "app/file_filters.h"
#include "app/handler_guard.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "app/main_window_state.h"
#include "app/progress/progress_window.h"
#include "app/window_user_interface.h"
#include "app/window_utilities.h"
#include "book/workspace.h"
#include "support/environment.h"
#include "support/paths.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>

#include <utility>

namespace tessarel {

// ---- Progress, busy and help windows ----------------------------------------------

ProgressWindow* MainWindow::loadedProgressWindow() const { return progress_; }
BusyWindow* MainWindow::busyWindow() const { return busy_; }
HelpWindow* MainWindow::helpWindow() const { return help_; }

ProgressWindow* MainWindow::progressWindow() {
    if (!progress_) {
        progress_ = new ProgressWindow(this);
        connect(progress_, &ProgressWindow::cancelBuild, this, [this] { ui_.setCancelRequested(true); });
        const ProjectModel& project = workspace_.project;
        RunReported(workspace_.env, ui_, sites::kPrepareProgress, [&] {
            progress_->prepare(project.isOpen() ? BaseNameOf(project.ProjectPath) : QString(), state_.alwaysOnTop);
        });
    }
    return progress_;
}

void MainWindow::showProgressWindow() {
    ProgressWindow* window = progressWindow();
    window->move(x() + width() / 2 - window->width() / 2, y() + height() / 2 - window->height() / 2);
    window->show();
    window->raise();
}

void MainWindow::unloadProgressWindow() {
    if (progress_) {
        progress_->unload();
        progress_ = nullptr;
    }
}

// The commands are locked before the build starts and unlocked after it (MainCommands).
void MainWindow::buildStarted(bool projectBuild) {
    showProgressWindow();
    if (projectBuild) {
        progress_->resetProgress();
    }
}

void MainWindow::buildFinished(bool projectBuild) {
    if (!progress_) {
        return;
    }
    progress_->setFinished();
    if (!projectBuild) {
        // A single file's build does not wait for the user.
        unloadProgressWindow();
    }
}

void MainWindow::lockForBuild() { commands_.setBuilding(true); }

void MainWindow::unlockAfterBuild() {
    commands_.setBuilding(false);
    buildEnded();
}

void MainWindow::buildEnded() {
    if (std::exchange(closeAfterBuild_, false)) {
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void MainWindow::showBusy(const QString& title, const QString& current, int maximum) {
    if (!busy_) {
        busy_ = new BusyWindow(this);
        if (state_.alwaysOnTop) {
            MakeTopmost(busy_);
        }
        commands_.setBusy(true);
        busy_->show();
    }
    busy_->setTexts(title, current);
    busy_->setMaximum(maximum);
}

void MainWindow::setBusyValue(int value) {
    if (busy_) {
        busy_->setValue(value);
        // A project file is read and written on this thread: the window is
        // painted directly, a few times a second, never through the event loop.
        if (!busyPainted_.isValid() || busyPainted_.elapsed() >= kBusyPaintMs) {
            busyPainted_.start();
            busy_->repaint();
        }
    }
}

void MainWindow::hideBusy() {
    if (busy_) {
        busy_->hide();
        busy_->deleteLater();
        busy_ = nullptr;
    }
    commands_.setBusy(false);
}

void MainWindow::showHelpFile(const QString& file) {
    // Under an open dialog the help window belongs to that dialog; the dialog's
    // modality would otherwise leave it unusable.
    if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != this) {
        auto* help = new HelpWindow(modal, makeBrowser_);
        if (state_.alwaysOnTop) {
            MakeTopmost(help);
        }
        help->showTopic(file);
        return;
    }
    if (!help_) {
        help_ = new HelpWindow(this, makeBrowser_);
        if (state_.alwaysOnTop) {
            MakeTopmost(help_);
        }
    }
    help_->showTopic(file);
}

// ---- Project dialogs and the about box ------------------------------------------

bool MainWindow::showDialog(ProjectDialog dialog) {
    if (dialogHandler) {
        return dialogHandler(dialog);
    }
    switch (dialog) {
    case ProjectDialog::Files:
        return ShowFilesDialog(this, workspace_, state_);
    case ProjectDialog::Destination:
        return ShowDestinationDialog(this, workspace_, state_);
    case ProjectDialog::Settings:
        return ShowSettingsDialog(this, workspace_, state_);
    case ProjectDialog::DefaultChapter:
        return ShowDefaultChapterDialog(this, workspace_, state_);
    case ProjectDialog::CommentStyles:
        return ShowCommentStylesDialog(this, workspace_, state_);
    }
    return false;
}

void MainWindow::showAbout() {
    AboutBox about(this);
    connect(&about, &AboutBox::licenceRequested, this, [this] {
        handle([this] { showHelpFile(ProgramFolderFile(workspace_.env.paths, QString::fromUtf16(kLicenceFileName))); });
    });
    about.adjustSize();
    CentreOnOwner(&about);
    about.exec();
}

// ---- FileDialogs ----------------------------------------------------------------------

namespace {

QString RunFileDialog(QWidget* owner, const QString& title, const QString& filter, bool save) {
    QFileDialog dialog(owner, title);
    dialog.setNameFilters(NameFiltersOf(filter));
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (save) {
        // The program answers an existing name with its own message.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setDefaultSuffix(QStringLiteral("qdx"));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

}  // namespace

QString MainWindow::openFileName(const QString& title, const QString& filter) {
    return fileDialogHandler ? fileDialogHandler(title, filter, false) : RunFileDialog(this, title, filter, false);
}

QString MainWindow::saveFileName(const QString& title, const QString& filter) {
    return fileDialogHandler ? fileDialogHandler(title, filter, true) : RunFileDialog(this, title, filter, true);
}

}  // namespace tessarel
