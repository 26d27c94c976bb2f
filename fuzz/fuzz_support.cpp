#include "fuzz/fuzz_support.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>

namespace tessarel::fuzz {

void Fail(const char* property, const QString& detail) {
    std::fprintf(stderr, "\n==== property failed: %s\n", property);
    if (!detail.isEmpty()) {
        std::fprintf(stderr, "     %s\n", detail.toUtf8().constData());
    }
    std::fflush(stderr);
    std::abort();
}

namespace {

/// Memory-backed when the system has it: every page write is synced to disk,
/// which would otherwise cost more than the build itself.
QString ScratchTemplate() {
    const QFileInfo shared(QStringLiteral("/dev/shm"));
    const QString base = shared.isDir() && shared.isWritable() ? shared.filePath() : QDir::tempPath();
    return base + QStringLiteral("/tessarel-fuzz-XXXXXX");
}

}  // namespace

ScratchFolder::ScratchFolder() : dir_(ScratchTemplate()) {
    if (!dir_.isValid()) {
        Fail("scratch folder", dir_.errorString());
    }
    path_ = QDir(dir_.path()).canonicalPath() + QLatin1Char('/');
}

void ScratchFolder::empty() const {
    QDir dir(path_);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir() && !entry.isSymLink()) {
            QDir(entry.filePath()).removeRecursively();
        } else {
            QFile::remove(entry.filePath());
        }
    }
}

QStringList ScratchFolder::list(const QString& subfolder) const {
    return QDir(path_ + subfolder)
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray ReadFileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

void WriteFileBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        Fail("scratch file written", path);
    }
}

}  // namespace tessarel::fuzz
