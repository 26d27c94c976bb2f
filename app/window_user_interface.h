#pragma once

#include "app/front_end.h"
#include "support/file_progress.h"
#include "support/user_interface.h"

#include <atomic>
#include <functional>

class QMessageBox;

namespace tessarel {

class MainWindow;

/// The user interface of the desktop program: message boxes and the progress
/// window for what the logic reports, the busy window for a project file, and
/// the preview browser, help, the shell and the program's end for the front
/// end, all over the main window.
/// Used on the window's thread only; a build on its own thread reaches it
/// through a QueuedUserInterface, which reads cancelFlag().
class WindowUserInterface : public UserInterface, public FrontEnd, public FileProgress {
public:
    void attach(MainWindow* window) { window_ = window; }
    /// Widens a message box so that its whole title shows in the title bar,
    /// which a short text would otherwise leave cut off.
    static void fitTitle(QMessageBox& box);

    MessageAnswer message(const QString& title, const QString& text, MessageIcon icon, MessageButtons buttons) override;
    void setProgressMaximum(int max) override;
    void resetProgress() override;
    void advanceProgress() override;
    void setProgressCaption(const QString& caption) override;
    bool cancelRequested() const override { return cancelRequested_.load(); }
    void setCancelRequested(bool requested) override { cancelRequested_.store(requested); }
    const std::atomic<bool>& cancelFlag() const { return cancelRequested_; }
    void show(const QString& title, const QString& current, int maximum) override;
    void setValue(int value) override;
    void hide() override;
    FileProgress* fileProgress() override { return this; }
    void navigate(const QString& path) override;
    void shellOpen(const QString& target) override;
    void addLogText(const QString& text) override;
    void setPartsDone(int done, int total) override;
    void showHelpTopic(const QString& helpPath) override;
    void endProgram() override;
    void buildStarted(bool projectBuild) override;
    void buildFinished(bool projectBuild) override;

    /// Quiet builds (the live preview's): no progress window, message box or
    /// help; the preview reloads where it stood. What they would have said is
    /// kept, one line each, and handed back by endQuiet().
    void beginQuiet();
    QStringList endQuiet();
    bool quiet() const { return quiet_; }

    /// Tests answer message boxes and catch shell requests here instead of the screen.
    std::function<MessageAnswer(const QString& title, const QString& text, MessageIcon icon, MessageButtons buttons)>
        messageHandler;
    std::function<void(const QString& target)> shellHandler;
    /// Called whenever the progress caption is set; a test may press Cancel here.
    std::function<void(const QString& caption)> onProgressCaption;

protected:
    void showLogRow(const QString& reason, const QString& item, RowStatus status, const QString& title,
                    const QString& output) override;

private:
    MainWindow* window_ = nullptr;
    std::atomic<bool> cancelRequested_ = false;
    bool quiet_ = false;
    /// Between the build's start and its end, as the build reported them.
    bool inBuild_ = false;
    QStringList quietProblems_;
};

}  // namespace tessarel
