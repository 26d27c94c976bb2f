#pragma once

#include "support/replacing_file.h"

#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <QStringView>

namespace tessarel {

class UserInterface;

/// How a file's characters become bytes. Pages, style sheets and HTML Help files
/// declare iso-8859-1, so they are written as Latin-1 with every character above
/// U+00FF as "&#N;"; the program's own files (project, window state, error log)
/// are UTF-8.
enum class FileEncoding { Latin1WithReferences, Utf8 };

/// The folders the program reads its shipped files from and writes its own
/// files to. Tests point both at temporary folders.
struct AppPaths {
    QString programFolder;  ///< styles/, intro.htm, help topics; ends with a separator
    QString dataFolder;     ///< fs.xml, error.log; ends with a separator

    /// The folders of an installed or built program: the executable's folder when
    /// it holds "styles", else the installed share folder; the per-user data folder.
    static AppPaths forRunningProgram();
};

// ---- Whole-file reading and writing -------------------------------------

/// Decodes file bytes: UTF-16 when they start with its byte-order mark, UTF-8
/// when they are valid UTF-8 (a BOM is dropped), otherwise Windows-1252.
QString DecodeText(const QByteArray& bytes);
/// Appends the bytes decoded as DecodeText does to `text`, in the room it has.
void AppendDecodedText(QString& text, QByteArrayView bytes);
/// Encodes text for a file in the given encoding.
QByteArray EncodeText(const QString& text, FileEncoding encoding);

/// The whole file as text; "" on any error.
QString ReadTextFile(const QString& path);
/// The whole file into `text`; on any error `text` is left unchanged. True on success.
bool ReadTextFileInto(const QString& path, QString& text);
/// The whole file's bytes into `bytes`; on any error they are left unchanged.
/// Only a regular file within the size limit is read (ReadRegularFile).
bool ReadFileBytes(const QString& path, QByteArray& bytes);
/// Creates or replaces the file with text + CR LF, atomically (written beside the
/// target under a new name, then renamed over it; a link at the target is
/// replaced, never followed). A target that cannot be written (read-only,
/// missing folder, empty path, full disk) is left untouched and the "Read only
/// file" message is shown. Returns false on any failure; callers may go on.
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
    /// Writes the line end and puts the file in place. On any failure the
    /// "Read only file" message is shown and false returned.
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
/// The "Read only file" message of a failed write: its third line says what the
/// system said (`reason`, e.g. "No space left on device"), or, when `reason`
/// is "", that the file is read-only or blank.
void ShowWriteFailure(UserInterface& ui, const QString& path, const QString& reason);
/// Appends text + CR LF, creating the file when missing. False on failure (no message).
bool AppendTextFile(const QString& path, const QString& text,
                    FileEncoding encoding = FileEncoding::Latin1WithReferences);
/// Deletes the file if it exists; errors are ignored.
void DeleteFile(const QString& path);
/// False for ""; true when a normal or read-only file or a folder exists there
/// (hidden entries do not count); a wildcard pattern counts when anything matches.
bool FileExists(const QString& path);

// ---- Paths ----------------------------------------------------------------
// The separator is "\" on Windows and "/" elsewhere; on POSIX an absolute path
// plays the role of a path with a drive.

/// The platform's folder separator.
QChar PathSeparator();
/// True where the usual file systems take names that differ in letter case
/// only for one file (Windows, macOS); false on Linux and other systems.
bool FileNamesIgnoreCase();
/// "\" in a stored folder read as the platform separator.
QString NativeSeparators(const QString& path);

QString FolderOf(const QString& path);         ///< trimmed path up to and including its last separator
QString FileNameOf(const QString& path);       ///< trimmed path after its last separator
QString BaseNameOf(const QString& path);       ///< file name without extension; "" without a "."
QString BaseNameInRange(const QString& path);  ///< "" when the last "." is first or before the last separator
QString ExtensionOf(const QString& path);      ///< after the last "."; case kept; "" without a "."
/// Windows: the characters before the first ":". POSIX: "/" for an absolute path, else "".
QString DrivePart(const QString& path);
/// Windows: removes the drive and its ":". POSIX: leaves the path as it is.
void StripDrive(QString& path);
QString WithTrailingSeparator(const QString& folder);  ///< folder + separator unless it ends with one
QString ProgramFolderFile(const AppPaths& paths, const QString& name);
QString DataFolderFile(const AppPaths& paths, const QString& name);
/// The path unchanged when it has a drive (is absolute); else projectFolder + path.
QString ResolveProjectPath(const QString& projectFolder, const QString& path);
/// The canonical absolute form of an existing folder, ending with a separator; "" on error.
QString AbsoluteFolder(const QString& folder);
/// `folder` + separator + `fileName`, with doubled separators from the second
/// character on collapsed (a leading network "\\" stays).
QString JoinFolderAndFile(const QString& folder, const QString& fileName);

}  // namespace tessarel
