#pragma once

#include <QString>
#include <QStringList>

namespace tessarel {

enum class ProjectDialog { Files, Destination, Settings, DefaultChapter, CommentStyles };

/// What the main window's logic asks of the window itself. The window
/// implements it over its widgets; tests implement it with a recorder.
class MainView {
public:
    virtual ~MainView() = default;

    virtual void setCaption(const QString& caption) = 0;
    /// Status panel 1 (the style), 2 (the open document) or 3 (the live preview).
    virtual void setStatusPanel(int panel, const QString& text) = 0;
    /// The command states or the recent list changed: show them.
    virtual void commandsChanged() = 0;
    virtual void recentFilesChanged() = 0;
    /// Shows a project dialog modally; false when it was left with Cancel.
    virtual bool showDialog(ProjectDialog dialog) = 0;
    virtual void showAbout() = 0;
    virtual void processEvents() = 0;
    virtual void stopBrowser() = 0;
    /// Shows a page the program made, rather than a file, in the preview.
    virtual void showPage(const QString& html) = 0;
    /// Unloads the main window, which ends the program.
    virtual void unloadMainWindow() = 0;
    /// Live rebuilds are quiet: no progress window, message box or help
    /// window. What such a build would have said is kept, one line per
    /// problem, and handed back when it ends.
    virtual void beginQuietBuild() {}
    virtual QStringList endQuietBuild() { return {}; }
    /// True while a modal window (a dialog, a message box) is open.
    virtual bool modalWindowOpen() const { return false; }
    /// A build is over and the commands are unlocked again.
    virtual void buildEnded() {}
};

/// The standard file dialogs. `filter` is "description|patterns|..."; the
/// result is "" when the dialog was cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual QString openFileName(const QString& title, const QString& filter) = 0;
    virtual QString saveFileName(const QString& title, const QString& filter) = 0;
};

}  // namespace tessarel
