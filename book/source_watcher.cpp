#include "book/source_watcher.h"

#include <QFileInfo>

namespace tessarel {

namespace {

/// The folder itself when it exists, else its nearest existing parent.
QString NearestExistingFolder(const QString& folder) {
    QString at = folder;
    while (!QFileInfo(at).isDir()) {
        const QString parent = QFileInfo(at).absolutePath();
        if (parent == at) {
            break;
        }
        at = parent;
    }
    return at;
}

}  // namespace

SourceWatcher::SourceWatcher(QObject* parent) : QObject(parent), system_(new QFileSystemWatcher(this)) {
    quiet_.setSingleShot(true);
    quiet_.setInterval(kDefaultQuietMs);
    longest_.setSingleShot(true);
    longest_.setInterval(kLongestWaitMs);
    connect(&quiet_, &QTimer::timeout, this, &SourceWatcher::report);
    connect(&longest_, &QTimer::timeout, this, &SourceWatcher::report);
    connect(system_, &QFileSystemWatcher::fileChanged, this, &SourceWatcher::fileEvent);
    connect(system_, &QFileSystemWatcher::directoryChanged, this, &SourceWatcher::folderEvent);
}

SourceWatcher::~SourceWatcher() { stop(); }

SourceWatcher::Stamp SourceWatcher::StampOf(const QString& file) {
    const QFileInfo info(file);
    if (!info.exists()) {
        return {};
    }
    return {true, info.size(), info.lastModified(), info.metadataChangeTime()};
}

void SourceWatcher::watch(const QStringList& files) {
    QStringList order;
    QStringList absoluteOrder;
    QHash<QString, QString> byAbsolute;
    QHash<QString, QStringList> inFolder;
    for (const QString& file : files) {
        const QFileInfo info(file);
        const QString absolute = info.absoluteFilePath();
        if (file.isEmpty() || byAbsolute.contains(absolute)) {
            continue;
        }
        byAbsolute.insert(absolute, file);
        order << file;
        absoluteOrder << absolute;
        inFolder[info.absolutePath()] << absolute;
    }

    const QStringList old = system_->files() + system_->directories();
    if (!old.isEmpty()) {
        system_->removePaths(old);
    }
    // The folders see a file renamed over a watched one, or one that comes
    // back; they are watched before the files are looked at.
    inFolder_ = inFolder;
    watchedAs_.clear();
    settleFolders();
    QHash<QString, Stamp> stamps;
    QHash<QString, Stamp> changedMeanwhile;
    QStringList existing;
    for (auto it = byAbsolute.cbegin(); it != byAbsolute.cend(); ++it) {
        // A file watched before keeps its stamp, so a change between the two
        // lists, whose events went with the old watches, is still reported.
        const Stamp now = StampOf(it.key());
        const auto kept = stamps_.constFind(it.key());
        stamps.insert(it.key(), kept != stamps_.cend() ? *kept : now);
        if (kept != stamps_.cend() && *kept != now) {
            changedMeanwhile.insert(it.key(), now);
        }
        if (now.exists) {
            existing << it.key();
        }
    }
    if (!existing.isEmpty()) {
        system_->addPaths(existing);
    }

    order_ = order;
    absoluteOrder_ = absoluteOrder;
    stamps_ = stamps;
    for (auto it = pending_.begin(); it != pending_.end();) {
        it = stamps_.contains(*it) ? std::next(it) : pending_.erase(it);
    }
    if (pending_.isEmpty()) {
        quiet_.stop();
        longest_.stop();
    }
    for (auto it = changedMeanwhile.cbegin(); it != changedMeanwhile.cend(); ++it) {
        note(it.key(), it.value());
    }
}

void SourceWatcher::stop() {
    quiet_.stop();
    longest_.stop();
    pending_.clear();
    const QStringList old = system_->files() + system_->directories();
    if (!old.isEmpty()) {
        system_->removePaths(old);
    }
    order_.clear();
    absoluteOrder_.clear();
    stamps_.clear();
    inFolder_.clear();
    watchedAs_.clear();
}

void SourceWatcher::fileEvent(const QString& path) {
    if (!stamps_.contains(path)) {
        return;  // no longer watched
    }
    const Stamp now = StampOf(path);
    // A write may keep size and time to the tick: an existing file that the
    // system calls changed has changed. A missing one is news only once.
    if (now.exists || stamps_.value(path).exists) {
        note(path, now);
    }
    rewatchFile(path);
}

void SourceWatcher::folderEvent(const QString& path) {
    // Watched first, looked at after: a file made in between is not missed.
    QStringList folders = settleFolders();
    if (inFolder_.contains(path) && !folders.contains(path)) {
        folders << path;
    }
    const QStringList systemFiles = system_->files();
    const QSet<QString> watchedNow(systemFiles.cbegin(), systemFiles.cend());
    for (const QString& folder : std::as_const(folders)) {
        for (const QString& file : inFolder_.value(folder)) {
            const Stamp now = StampOf(file);
            const bool lostWatch = now.exists && !watchedNow.contains(file);
            if (now != stamps_.value(file) || lostWatch) {
                note(file, now);
                rewatchFile(file);
            }
        }
    }
}

QStringList SourceWatcher::settleFolders() {
    QStringList back;
    // A folder may come back while the watches are being set: then look again
    // (a few times; a later event settles what still moves).
    constexpr int kRounds = 4;
    bool moved = true;
    for (int round = 0; moved && round < kRounds; ++round) {
        QSet<QString> wanted;
        for (auto it = inFolder_.cbegin(); it != inFolder_.cend(); ++it) {
            const QString at = NearestExistingFolder(it.key());
            const auto was = watchedAs_.constFind(it.key());
            if (at == it.key() && was != watchedAs_.cend() && *was != at && !back.contains(at)) {
                back << at;
            }
            watchedAs_.insert(it.key(), at);
            wanted.insert(at);
        }
        // The system drops the watch of a removed folder: one made again in
        // its place is watched anew.
        const QStringList watchedList = system_->directories();
        const QSet<QString> watched(watchedList.cbegin(), watchedList.cend());
        const QSet<QString> unwanted = watched - wanted;
        const QSet<QString> missing = wanted - watched;
        if (!unwanted.isEmpty()) {
            system_->removePaths(unwanted.values());
        }
        if (!missing.isEmpty()) {
            system_->addPaths(missing.values());
        }
        moved = false;
        for (auto it = watchedAs_.cbegin(); it != watchedAs_.cend() && !moved; ++it) {
            moved = NearestExistingFolder(it.key()) != it.value();
        }
    }
    return back;
}

void SourceWatcher::note(const QString& file, const Stamp& now) {
    stamps_.insert(file, now);
    pending_.insert(file);
    quiet_.start();
    if (!longest_.isActive()) {
        longest_.start();
    }
}

void SourceWatcher::rewatchFile(const QString& file) {
    if (system_->files().contains(file)) {
        system_->removePath(file);
    }
    if (stamps_.value(file).exists) {
        system_->addPath(file);
    }
}

QStringList SourceWatcher::waitingChanges() const {
    QStringList files;
    for (qsizetype i = 0; i < order_.size(); ++i) {
        if (pending_.contains(absoluteOrder_.at(i))) {
            files << order_.at(i);
        }
    }
    return files;
}

void SourceWatcher::report() {
    quiet_.stop();
    longest_.stop();
    if (pending_.isEmpty()) {
        return;
    }
    const QStringList changedFiles = waitingChanges();
    pending_.clear();
    if (!changedFiles.isEmpty()) {
        Q_EMIT changed(changedFiles);
    }
}

}  // namespace tessarel
