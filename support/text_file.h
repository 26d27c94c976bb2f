#pragma once

#include "support/replacing_file.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tessarel {

class UserInterface;

/// How a file's characters become bytes. Pages, style sheets and HTML Help files
/// declare iso-8859-1, so they are written as Latin-1 with every character above
/// U+00FF as "&#N;"; the program's own files (project, window state, error log)
/// are UTF-8.
enum class FileEncoding { Latin1WithReferences, Utf8 };

/// Decodes file bytes: UTF-16 when they start with its byte-order mark, UTF-8
/// when they are valid UTF-8 (a BOM is dropped), otherwise Windows-1252.
QString DecodeText(const QByteArray& bytes);
/// Appends the bytes decoded as DecodeText does to `text`, in the room it has.
void AppendDecodedText(QString& text, QByteArrayView bytes);
/// Appends the bytes decoded as AppendDecodedText does; when what they make
/// holds no CR LF, every line feed in it becomes CR LF, in the same walk.
void AppendDecodedLines(QString& text, QByteArrayView bytes);
/// Encodes text for a file in the given encoding.
QByteArray EncodeText(const QString& text, FileEncoding encoding);

/// The whole file as text; "" on any error.
QString ReadTextFile(const QString& path);
/// The whole file's bytes into `bytes`; on any error they are left unchanged.
/// Only a regular file within the size limit is read (ReadRegularFile).
bool ReadFileBytes(const QString& path, QByteArray& bytes);
/// Creates or replaces the file with text + CR LF, atomically (written beside the
/// target under a new name, then renamed over it; a link at the target is
/// replaced, never followed). A target that cannot be written (read-only,
/// missing folder, empty path, full disk) is left untouched and the write
/// failure is shown (ShowWriteFailure). Returns false on any failure; callers may go on.
bool WriteTextFile(UserInterface& ui, const QString& path, const QString& text,
                   FileEncoding encoding = FileEncoding::Latin1WithReferences);
/// Writes a text file in pieces, by WriteTextFile's rules: the pieces, then one
/// CR LF; an existing file is replaced only once all of it was written. Lets a
/// large text go to its file as it is made instead of whole at the end.
class TextFileWriter {
public:
    explicit TextFileWriter(const QString& path, FileEncoding encoding = FileEncoding::Latin1WithReferences);
    /// An unfinished file is removed; the target is left as it was.
    ~TextFileWriter();
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    /// False, silently, when the target cannot be written (read-only, a folder,
    /// an empty path, a missing folder); finish() then tells the user.
    bool open();
    /// Appends a piece; nothing happens after open() failed or a write failed.
    void write(QStringView text);
    /// write(CR LF) then write(text), in one write to the file when it can be.
    void writeOnNewLine(QStringView text);
    /// Writes the line end and puts the file in place. On any failure the
    /// write failure is shown (ShowWriteFailure) and false returned.
    bool finish(UserInterface& ui);
    /// True once a write failed; finish() then tells the user.
    bool failed() const { return failed_ || file_.failed(); }

private:
    void encodeAndWrite(QStringView text);

    QString path_;
    FileEncoding encoding_;
    ReplacingFile file_;
    QByteArray bytes_;
    QChar heldBack_;
    bool failed_ = false;
    bool finished_ = false;
};

/// The "Read only file" message of a read-only or blank target.
void ShowReadOnlyMessage(UserInterface& ui, const QString& path);
/// The message of a failed write: its third line says what the system said
/// (`reason`, e.g. "No space left on device"), or, when `reason` is "", that
/// the file is read-only or blank. Its title, unless given, is "Read only
/// file" for those and for a refused access, otherwise the system's reason.
void ShowWriteFailure(UserInterface& ui, const QString& path, const QString& reason, const QString& title = QString());
/// Appends text + CR LF, creating the file when missing. False on failure (no message).
bool AppendTextFile(const QString& path, const QString& text,
                    FileEncoding encoding = FileEncoding::Latin1WithReferences);

}  // namespace tessarel
