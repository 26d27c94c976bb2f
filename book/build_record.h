#pragma once

#include "book/book_files.h"
#include "book/chapter_pass.h"
#include "support/file_stamp.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace tessarel {

struct PageStyle;
struct Settings;

/// The book around the chapters (contents, indexes, side and frame pages, help
/// and search files) as the last whole build wrote it. A build whose chapters
/// are all replayed and that finds these files as they were only tells the
/// rows their writers told.
struct BookTexts {
    /// A digest of what they are made of besides the chapters' results; empty
    /// when the last build did not write them all.
    QByteArray inputs;
    QString homePage;
    qint64 helpPages = 0;  ///< HelpBookSize of the help project
    qint64 helpPageBytes = 0;
    /// The book's files below the destination, with the stamps they were left with.
    std::vector<std::pair<QString, FileStamp>> files;
    /// What their writers told the user, in order.
    std::vector<ChapterNote> notes;

    bool operator==(const BookTexts&) const = default;
};

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
    /// What the compiler said when it warned, told again while its file stands.
    QByteArray compileOutput;
    bool compileSuccess = false;
    /// Every file the builds wrote into the destination and that is still
    /// theirs, so a later build knows what it may replace and remove.
    WrittenFiles bookFiles;
    BookTexts book;

    bool operator==(const BuildRecord&) const = default;
};

/// Reads a recorded chapter's section names and snippets from the record's
/// bytes it kept (ChapterResult::recordedLists), once, before it is listed.
void ReadRecordedLists(ChapterResult& result);

/// The check a record ends with: it tells a damaged or cut record (not a forged
/// one) and costs a fraction of a cryptographic digest over megabytes.
QByteArray BuildRecordChecksum(QByteArrayView bytes);

/// The record's file in `cacheFolder`, named by a digest of the project and
/// destination paths.
QString BuildRecordPath(const QString& cacheFolder, const QString& projectPath, const QString& destination);

/// The largest record kept and read back (the largest file Tessarel reads). It
/// bounds what reading a damaged or hostile record can cost; 1,500 chapters of
/// 300 sections each take 41 MB, 4,000 of them about 110 MB.
inline constexpr qint64 kMaxBuildRecordBytes = qint64{256} << 20;

/// The record at `path` when it is whole, of this format, of this project and
/// destination, and at most `limit` bytes; nothing otherwise.
std::optional<BuildRecord> ReadBuildRecord(const QString& path, const QString& projectPath, const QString& destination,
                                           qint64 limit = kMaxBuildRecordBytes);

enum class RecordWrite { Written, TooLarge, Failed };
/// Replaces the record at `path` (creating its folder). One over `limit` bytes,
/// which could not be read back, is not written, and the old one is removed.
RecordWrite WriteBuildRecord(const QString& path, const BuildRecord& record, qint64 limit = kMaxBuildRecordBytes);

/// A digest of everything besides its source that shapes a chapter page: the
/// program, every setting the setting table says can shape a built file, the
/// style, and the build time where pages show it.
/// `neighbours`: what else a page shows of the book (a modern page's previous
/// and next chapters come from the chapters' names and order).
QByteArray PageInputsDigest(const Settings& settings, const PageStyle& style, const QString& generatedAtText,
                            const QStringList& neighbours = {});

/// Whether a source read now has a stamp that can be trusted next time: one
/// changed in the last seconds could change again within the same tick.
bool StampSettled(const FileStamp& stamp, qint64 nowNs);

}  // namespace tessarel
