#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <functional>

namespace tessarel {

/// The suffix of every file written beside its target before it takes the
/// target's place. Leftovers of a killed run are known by it.
inline const QString kReplacementSuffix = QStringLiteral(".tessarel-new");

/// A file that takes its target's place only when whole. It is written under
/// a new, unpredictable name in the target's folder, created exclusively (never
/// through a link or over a file that is there), and renamed over the target,
/// so a link standing at the target is replaced, not followed. An existing
/// regular file is compared with the bytes as they come and left untouched,
/// stamp and all, when they turn out to be its own: the new file is written
/// only from the first difference on.
class ReplacingFile {
public:
    explicit ReplacingFile(const QString& target);
    /// A file that was never committed is removed; the target stays as it was.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    /// False when the target cannot be replaced: an empty path, a folder, a
    /// read-only file, or a file that cannot be created beside it.
    bool open();
    /// False once any write failed; later writes do nothing.
    bool write(QByteArrayView bytes);
    /// Puts the written file in the target's place (an existing file's
    /// permissions are kept), or keeps the target when its bytes were the
    /// written ones. False, and the written file removed, on failure.
    bool commit();
    /// After a successful commit: true when the target was kept as it was.
    bool keptTarget() const { return keptTarget_; }
    bool isOpen() const { return file_.isOpen(); }
    bool failed() const { return failed_; }
    /// Why the file could not be written, in the system's words; "" when the
    /// target is read-only or the path is blank.
    const QString& failure() const { return failure_; }
    const QString& target() const { return target_; }

private:
    void fail(const QString& reason);
    void removeWritten();
    void openOldForComparing();
    void stopComparing();
    bool writeBytes(QByteArrayView bytes);
    bool copyMatchedPrefix();

    QString target_;
    QFile file_;
    QString failure_;
    QFileDevice::Permissions permissions_;
    bool keepPermissions_ = false;
    bool failed_ = false;
    bool keptTarget_ = false;
    // The target while the bytes written so far are its first `matched_`.
    int oldFile_ = -1;
    qint64 matched_ = 0;
    /// The target's bytes read ahead; those before oldAt_ were matched.
    QByteArray oldBytes_;
    qsizetype oldAt_ = 0;
};

/// The system's description of an error number ("No space left on device").
QString SystemErrorText(int error);

/// Makes a folder and the folders above it that are missing. False, with the
/// system's reason in `failure`, when it cannot.
bool MakeFolders(const QString& folder, QString& failure);

/// Removes the files and links of `folder` whose names end in
/// kReplacementSuffix, except those `keep` holds to. A link is removed itself,
/// never what it points to; folders are left alone.
void RemoveLeftoverReplacements(const QString& folder, const std::function<bool(const QString& path)>& keep);

}  // namespace tessarel
