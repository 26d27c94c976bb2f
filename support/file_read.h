#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "support/file_stamp.h"

namespace tessarel {

/// The largest file Tessarel reads (256 MB): far beyond any real source or
/// project file, and the parse of a text that size already needs gigabytes.
inline constexpr qint64 kMaxReadBytes = qint64{256} << 20;

/// What came of reading a whole file.
enum class ReadOutcome {
    Read,
    Unreadable,      ///< missing, a folder, no permission, a read error, a name no system takes
    NotRegularFile,  ///< a pipe, a device or a socket: refused without waiting for it
    TooLarge,        ///< over the limit
    OutOfMemory,     ///< no memory for its bytes or for what is made of them
};

struct ReadResult {
    ReadOutcome outcome = ReadOutcome::Read;
    QString systemMessage;  ///< what the system said about an unreadable file, when it said anything
    FileStamp stamp = {};   ///< the file's stamp as it was opened, when read
    bool ok() const { return outcome == ReadOutcome::Read; }
};

/// Whether a read goes through a link standing at the path.
enum class LinkPolicy { Follow, Refuse };

/// Reads a regular file whole into `bytes`, which are left unchanged on any
/// failure. Anything else is refused without blocking: a pipe without a writer,
/// a device that never ends, a file over `limit` bytes (checked before reading,
/// and again while reading, as a file may grow), and with LinkPolicy::Refuse a
/// link (NotRegularFile), whatever it leads to.
ReadResult ReadRegularFile(const QString& path, QByteArray& bytes, qint64 limit = kMaxReadBytes,
                           LinkPolicy links = LinkPolicy::Follow);
/// What reading the file would meet, judged by its metadata alone: nothing is opened.
ReadOutcome ProbeRegularFile(const QString& path, qint64 limit = kMaxReadBytes);

/// The build log's reason for a file that was not read: "Unreadable File",
/// "Not a Regular File", "File Too Large" or "Out of Memory".
QString ReadFailureReason(ReadOutcome outcome);
/// One sentence telling the user why the file was not read.
QString ReadFailureText(const ReadResult& result);

/// The first `count` bytes (fewer in a shorter file) of the regular file at
/// `path` into `bytes`. False for anything else, without waiting on it: a
/// link (never followed), a pipe, a device, a folder, a file not readable.
bool ReadFileStart(const QString& path, qint64 count, QByteArray& bytes);

/// Appends UTF-16 text that starts with its byte-order mark (either byte
/// order), without the mark; false, and nothing appended, for other bytes.
bool AppendUtf16WithByteOrderMark(QString& text, QByteArrayView bytes);

}  // namespace tessarel
