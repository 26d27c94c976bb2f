#pragma once

#include "book/book_files.h"
#include "book/chapter_pass.h"
#include "support/file_stamp.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace tessarel {

struct PageStyle;
struct Settings;

/// The record one project file keeps of its last build into one destination.
struct BuildRecord {
    QString projectPath;
    QString destination;
    QByteArray pageInputs;  ///< PageInputsDigest the pages were built with
    /// Each chapter's result with its files, by source path.
    QHash<QString, ChapterResult> chapters;
    /// The HTML Help compile: what it was given, and the file it wrote.
    QByteArray helpInputs;
    FileStamp compiledStamp;
    QString compileReason;  ///< the log row of that compile
    bool compileSuccess = false;
    /// Every file the builds wrote into the destination and that is still
    /// theirs, so a later build knows what it may replace and remove.
    WrittenFiles bookFiles;

    bool operator==(const BuildRecord&) const = default;
};

/// The record's file in `cacheFolder`, named by a digest of the project and
/// destination paths.
QString BuildRecordPath(const QString& cacheFolder, const QString& projectPath, const QString& destination);

/// The record at `path` when it is whole, of this format and of this project
/// and destination; nothing otherwise.
std::optional<BuildRecord> ReadBuildRecord(const QString& path, const QString& projectPath, const QString& destination);

/// Replaces the record at `path` (creating its folder); false when it could not.
bool WriteBuildRecord(const QString& path, const BuildRecord& record);

/// A digest of everything besides its source that shapes a chapter page: the
/// program, the settings, the style, and the build time where pages show it.
QByteArray PageInputsDigest(const Settings& settings, const PageStyle& style, const QString& generatedAtText);

/// Whether a source read now has a stamp that can be trusted next time: one
/// changed in the last seconds could change again within the same tick.
bool StampSettled(const FileStamp& stamp, qint64 nowNs);

}  // namespace tessarel
