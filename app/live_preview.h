#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include "book/source_watcher.h"

namespace tessarel {

class MainCommands;
class MainView;
struct Workspace;

/// The preview that follows the editor: the open source file, or the open
/// project's file and chapter sources, are watched, and a save rebuilds the
/// page or book quietly (no progress window, no message box) and reloads the
/// preview where it stood. What went wrong goes to the status bar. On by
/// default; the choice is remembered.
class LivePreview : public QObject {
    Q_OBJECT
public:
    /// The status panel that tells of live rebuilds.
    static constexpr int kStatusPanel = 3;
    /// A change that meets a running build or an open dialog waits this long before trying again.
    static constexpr int kRetryMs = 250;

    LivePreview(Workspace& workspace, MainCommands& commands, MainView& view, QObject* parent = nullptr);

    bool enabled() const { return enabled_; }
    /// Turns the live preview on or off and remembers the choice.
    void setEnabled(bool enabled);
    /// Watches what the open document reads now. Cheap when that has not
    /// changed, so the window calls it after every command.
    void follow();
    /// Stops for good (the window is unloading); the stored choice stays.
    void stop();
    QStringList watchedFiles() const { return watcher_.files(); }
    SourceWatcher& watcher() { return watcher_; }

    /// The status panel's text after a rebuild at `time` ("HH:mm:ss") of
    /// `document`, given what the build would have said ("" when it went well).
    static QString StatusText(const QString& time, const QString& document, const QStringList& problems);

Q_SIGNALS:
    /// A live rebuild has ended (the preview may still be loading).
    void rebuilt();

private:
    void filesChanged(const QStringList& files);
    void rebuildWhenFree();
    QStringList wantedFiles() const;

    Workspace& workspace_;
    MainCommands& commands_;
    MainView& view_;
    SourceWatcher watcher_;
    QTimer retry_;
    bool enabled_ = true;
    bool pending_ = false;
    bool stopped_ = false;
};

}  // namespace tessarel
