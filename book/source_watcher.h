#pragma once

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

namespace tessarel {

/// Watches a set of files for the live preview and the console's watch mode.
/// A burst of writes gives one `changed` after a quiet time. An editor that
/// saves by writing a new file and renaming it over the old one is followed,
/// as is a file that disappears and comes back; a deleted file is reported
/// once. A folder of watched files that is missing (removed, or not made yet)
/// is waited for at its nearest existing parent and taken up again when it
/// comes back. Writes of other files in the same folders (the pages a build
/// puts beside its sources) are not changes.
class SourceWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultQuietMs = 150;
    /// A stream of writes that never pauses is still reported this often.
    static constexpr int kLongestWaitMs = 1500;

    explicit SourceWatcher(QObject* parent = nullptr);
    ~SourceWatcher() override;

    /// Watches exactly these files from now on (an empty list watches nothing).
    /// A change already waiting stays waiting for the files still watched.
    void watch(const QStringList& files);
    /// Stops watching: nothing more is reported, not even a change already waiting.
    void stop();
    void setQuietTime(int milliseconds) { quiet_.setInterval(milliseconds); }
    /// How long a stream of writes that never pauses may hold its report back.
    void setLongestWait(int milliseconds) { longest_.setInterval(milliseconds); }
    /// The files whose changes have been seen and wait for their report, in
    /// the order they were given to watch().
    QStringList waitingChanges() const;
    /// The files watched, as given to watch().
    QStringList files() const { return order_; }
    bool isWatching() const { return !order_.isEmpty(); }

Q_SIGNALS:
    /// The files that changed, appeared or disappeared since the last report,
    /// in the order they were given to watch().
    void changed(const QStringList& files);

private:
    /// What tells one version of a file from another without reading it.
    struct Stamp {
        bool exists = false;
        qint64 size = -1;
        QDateTime modified;
        QDateTime metadataChanged;
        bool operator==(const Stamp&) const = default;
    };
    static Stamp StampOf(const QString& file);

    void fileEvent(const QString& path);
    void folderEvent(const QString& path);
    /// Watches each folder of the watched files, or its nearest existing
    /// parent while it is missing; returns the folders watched again in
    /// their own place, whose files may have come back with them.
    QStringList settleFolders();
    /// Notes a change of `file`, whose stamp is now `now`, and (re)starts the quiet time.
    void note(const QString& file, const Stamp& now);
    /// Watches the file as it now stands: a renamed-over file is a new file.
    void rewatchFile(const QString& file);
    void report();

    QFileSystemWatcher* system_;
    QTimer quiet_;
    QTimer longest_;
    QStringList order_;                     ///< the watched files, as given
    QStringList absoluteOrder_;             ///< the same, absolute
    QHash<QString, Stamp> stamps_;          ///< by absolute path
    QHash<QString, QStringList> inFolder_;  ///< absolute folder -> absolute files
    QHash<QString, QString> watchedAs_;     ///< absolute folder -> the folder watched for it
    QSet<QString> pending_;                 ///< absolute paths changed since the last report
};

}  // namespace tessarel
