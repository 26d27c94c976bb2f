#include "book/source_watcher.h"

#include <QFileInfo>

namespace tessarel {

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
    QHash<QString, Stamp> stamps;
    QStringList existing;
    for (auto it = byAbsolute.cbegin(); it != byAbsolute.cend(); ++it) {
        // A file watched before keeps its stamp, so a change between the two
        // lists is not lost.
        const Stamp stamp = stamps_.contains(it.key()) ? stamps_.value(it.key()) : StampOf(it.key());
        stamps.insert(it.key(), stamp);
        if (stamp.exists) {
            existing << it.key();
        }
    }
    if (!existing.isEmpty()) {
        system_->addPaths(existing);
    }
    // The folders see a file renamed over a watched one, or one that comes back.
    QStringList folders;
    for (auto it = inFolder.cbegin(); it != inFolder.cend(); ++it) {
        if (QFileInfo(it.key()).isDir()) {
            folders << it.key();
        }
    }
    if (!folders.isEmpty()) {
        system_->addPaths(folders);
    }

    order_ = order;
    absoluteOrder_ = absoluteOrder;
    stamps_ = stamps;
    inFolder_ = inFolder;
    for (auto it = pending_.begin(); it != pending_.end();) {
        it = stamps_.contains(*it) ? std::next(it) : pending_.erase(it);
    }
    if (pending_.isEmpty()) {
        quiet_.stop();
        longest_.stop();
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
    const auto files = inFolder_.constFind(path);
    if (files == inFolder_.cend()) {
        return;
    }
    const QStringList systemFiles = system_->files();
    const QSet<QString> watchedNow(systemFiles.cbegin(), systemFiles.cend());
    for (const QString& file : *files) {
        const Stamp now = StampOf(file);
        const bool lostWatch = now.exists && !watchedNow.contains(file);
        if (now != stamps_.value(file) || lostWatch) {
            note(file, now);
            rewatchFile(file);
        }
    }
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

void SourceWatcher::report() {
    quiet_.stop();
    longest_.stop();
    if (pending_.isEmpty()) {
        return;
    }
    QStringList changedFiles;
    for (qsizetype i = 0; i < order_.size(); ++i) {
        if (pending_.contains(absoluteOrder_.at(i))) {
            changedFiles << order_.at(i);
        }
    }
    pending_.clear();
    if (!changedFiles.isEmpty()) {
        Q_EMIT changed(changedFiles);
    }
}

}  // namespace tessarel
