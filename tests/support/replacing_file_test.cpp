// A file is replaced by a new one made beside it under a name nobody can
// guess, renamed over it: links at the target are replaced, never followed, a
// failed write keeps the old file, and the user is told what the system said.
#include "support/replacing_file.h"
#include "support/file_size_limit.h"
#include "support/testing.h"
#include "support/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace tessarel::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

TEST(ReplacingFile, linksAtTheTargetAreReplacedAndWhatTheyPointToIsUntouched) {
    TestEnvironment t;
    const QString out = t.path(u"out/"_s);
    const QString outside = t.path(u"outside/"_s);
    WriteBytes(outside + u"victim.txt"_s, "precious");
    QDir().mkpath(out);
    ASSERT_TRUE(QFile::link(outside + u"created.htm"_s, out + u"dangling.htm"_s));
    ASSERT_TRUE(QFile::link(outside + u"victim.txt"_s, out + u"live.htm"_s));
    ASSERT_TRUE(QFile::link(outside, out + u"folder.htm"_s));

    for (const QString& name : {u"dangling.htm"_s, u"live.htm"_s, u"folder.htm"_s}) {
        EXPECT_TRUE(WriteTextFile(t.ui, out + name, u"page "_s + name)) << name.toStdString();
        const QFileInfo written(out + name);
        EXPECT_FALSE(written.isSymLink()) << name.toStdString();
        EXPECT_EQ(ReadBytes(out + name), (u"page "_s + name + u"\r\n"_s).toLatin1());
    }
    EXPECT_TRUE(t.ui.messages.empty());
    EXPECT_EQ(Entries(outside), QStringList{u"victim.txt"_s});
    EXPECT_EQ(ReadBytes(outside + u"victim.txt"_s), QByteArray("precious"));
    EXPECT_EQ(Entries(out), (QStringList{u"dangling.htm"_s, u"folder.htm"_s, u"live.htm"_s}));
}

// A page made for the web must be readable by the web server, as a file made
// with the user's umask is; a replaced file keeps its own permissions.
TEST(ReplacingFile, newFilesFollowTheUmaskAndReplacedOnesKeepTheirPermissions) {
    TestEnvironment t;
    const mode_t saved = ::umask(022);
    const QString fresh = t.path(u"fresh.htm"_s);
    const bool written = WriteTextFile(t.ui, fresh, u"x"_s);
    ::umask(saved);
    ASSERT_TRUE(written);
    EXPECT_EQ(QFileInfo(fresh).permissions() & (QFileDevice::ReadOther | QFileDevice::WriteOther),
              QFileDevice::ReadOther);

    const QString kept = t.path(u"kept.htm"_s);
    WriteBytes(kept, "old");
    QFile::setPermissions(kept, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_TRUE(WriteTextFile(t.ui, kept, u"new"_s));
    EXPECT_EQ(QFileInfo(kept).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
              QFileDevice::Permissions());
}

// The permissions a replaced file keeps are read with one stat: they must be
// what QFileInfo reads with its several calls, for every mode.
TEST(ReplacingFile, aReplacedFileKeepsEveryModeItHad) {
    TestEnvironment t;
    const QString page = t.path(u"mode.htm"_s);
    for (const mode_t mode : {0600, 0644, 0664, 0755, 0700, 0711, 0640, 0604, 0751}) {
        QFile::remove(page);
        WriteBytes(page, "old");
        ASSERT_EQ(::chmod(QFile::encodeName(page).constData(), mode), 0);
        const QFileDevice::Permissions before = QFileInfo(page).permissions();
        ASSERT_TRUE(WriteTextFile(t.ui, page, u"new"_s)) << std::oct << mode;
        EXPECT_EQ(QFileInfo(page).permissions(), before) << std::oct << mode;
        EXPECT_EQ(ReadBytes(page), QByteArray("new\r\n"));
    }
}

TEST(ReplacingFile, aFailedWriteKeepsTheOldFileAndSaysWhy) {
    TestEnvironment t;
    auto thirdLine = [&t] { return t.ui.messages.back().text.split(u"\r\n"_s).value(2); };
    // The title and the third line.
    auto said = [&] { return t.ui.messages.back().title + u" | "_s + thirdLine(); };

    // Read-only and blank targets keep the old words: they are what they say.
    const QString readOnly = t.path(u"read-only.htm"_s);
    WriteBytes(readOnly, "kept");
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    EXPECT_FALSE(WriteTextFile(t.ui, readOnly, u"new"_s));
    EXPECT_EQ(ReadBytes(readOnly), QByteArray("kept"));
    EXPECT_EQ(t.ui.messages.back().title, u"Read only file"_s);
    EXPECT_EQ(t.ui.messages.back().text, u"Unable to write: \r\n"_s + readOnly +
                                             u"\r\nThe file it's READ ONLY, blank or opened by someone else."_s);
    EXPECT_EQ(t.ui.messages.back().icon, MessageIcon::Exclamation);
    EXPECT_FALSE(WriteTextFile(t.ui, u"  "_s, u"new"_s));
    EXPECT_EQ(t.ui.messages.back().text.split(u"\r\n"_s).value(1), u"(file not specified)"_s);
    EXPECT_EQ(thirdLine(), u"The file it's READ ONLY, blank or opened by someone else."_s);

    // A refused access is a read-only file too; only the reason is the system's.
    if (::geteuid() != 0) {
        const QString locked = t.path(u"locked/"_s);
        QDir().mkpath(locked);
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        EXPECT_FALSE(WriteTextFile(t.ui, locked + u"page.htm"_s, u"x"_s));
        EXPECT_EQ(said(), u"Read only file | The system reports: Permission denied."_s);
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    // Everything else in the system's words, the title too.
    EXPECT_FALSE(WriteTextFile(t.ui, t.path(QString(300, u'n') + u".htm"_s), u"x"_s));
    EXPECT_EQ(said(), u"File name too long | The system reports: File name too long."_s);
    EXPECT_FALSE(WriteTextFile(t.ui, t.path(u"missing/page.htm"_s), u"x"_s));
    EXPECT_EQ(said(), u"No such file or directory | The system reports: No such file or directory."_s);
    QDir().mkpath(t.path(u"folder.htm"_s));
    EXPECT_FALSE(WriteTextFile(t.ui, t.path(u"folder.htm"_s), u"x"_s));
    EXPECT_EQ(said(), u"Is a directory | The system reports: Is a directory."_s);
    EXPECT_EQ(t.ui.messages.back().text.split(u"\r\n"_s).value(1), t.path(u"folder.htm"_s));

    // A full disk, as far as the writer can tell, part way through the file.
    const QString full = t.path(u"full.htm"_s);
    WriteBytes(full, "the good page");
    {
        FileSizeLimit limit(1000);
        EXPECT_FALSE(WriteTextFile(t.ui, full, QString(5000, u'x')));
    }
    EXPECT_EQ(ReadBytes(full), QByteArray("the good page"));
    EXPECT_EQ(said(), u"File too large | The system reports: File too large."_s);

    // Nothing is left beside the targets.
    for (const QString& name : Entries(t.root.path())) {
        EXPECT_FALSE(name.endsWith(kReplacementSuffix)) << name.toStdString();
    }
}

TEST(ReplacingFile, leftoversAreRemovedAsFilesOrLinksOnly) {
    TestEnvironment t;
    const QString out = t.path(u"out/"_s);
    WriteBytes(t.path(u"outside.txt"_s), "precious");
    WriteBytes(out + u"page.htm.tessarel-new"_s, "");
    WriteBytes(out + u".tessarel-0123456789abcdef.tessarel-new"_s, "half a page");
    WriteBytes(out + u"source.tessarel-new"_s, "a file the caller keeps");
    WriteBytes(out + u"other.TESSAREL-NEW"_s, "not ours");
    WriteBytes(out + u"folder.tessarel-new/inside"_s, "a folder is never ours");
    ASSERT_TRUE(QFile::link(t.path(u"outside.txt"_s), out + u"link.tessarel-new"_s));
    ASSERT_TRUE(QFile::link(t.path(u"nowhere"_s), out + u"dangling.tessarel-new"_s));

    RemoveLeftoverReplacements(out, [](const QString& path) { return path.endsWith(u"/source.tessarel-new"_s); });

    EXPECT_EQ(Entries(out), (QStringList{u"folder.tessarel-new"_s, u"other.TESSAREL-NEW"_s, u"source.tessarel-new"_s}));
    EXPECT_EQ(ReadBytes(t.path(u"outside.txt"_s)), QByteArray("precious"));
}

// A target whose bytes are written again is kept, inode and time; any
// difference, wherever it falls and however the bytes are cut, gives exactly
// the new bytes in a new file.
TEST(ReplacingFile, theSameBytesKeepTheTargetAndAnyDifferenceReplacesIt) {
    TestEnvironment t;
    const QString page = t.path(u"same/same.htm"_s);
    const QByteArray old = QByteArray("abcdefghij").repeated(5000);
    struct stat before {};
    struct stat after {};
    const auto writeInPieces = [&page](const QByteArray& bytes, qsizetype piece, bool& kept) {
        ReplacingFile file(page);
        if (!file.open()) {
            return false;
        }
        for (qsizetype at = 0; at < bytes.size(); at += piece) {
            if (!file.write(QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at)))) {
                return false;
            }
        }
        const bool committed = file.commit();
        kept = file.keptTarget();
        return committed;
    };
    const QByteArray name = QFile::encodeName(page);
    QByteArray changedMiddle = old;
    changedMiddle[25'000] = 'X';
    QByteArray changedLast = old;
    changedLast.back() = 'X';
    const std::vector<std::pair<const char*, QByteArray>> cases = {
        {"the same", old},          {"first byte", 'X' + old.mid(1)}, {"middle", changedMiddle},
        {"last byte", changedLast}, {"shorter", old.chopped(1)},      {"longer", old + 'k'},
        {"empty", QByteArray()},
    };
    for (const qsizetype piece : {qsizetype{1000}, qsizetype{7}, qsizetype{70'000}}) {
        for (const auto& [what, bytes] : cases) {
            WriteBytes(page, old);
            ASSERT_EQ(::stat(name.constData(), &before), 0);
            bool kept = false;
            ASSERT_TRUE(writeInPieces(bytes, piece, kept)) << what << " " << piece;
            ASSERT_EQ(::stat(name.constData(), &after), 0);
            EXPECT_EQ(ReadBytes(page), bytes) << what << " " << piece;
            const bool same = bytes == old;
            EXPECT_EQ(kept, same) << what << " " << piece;
            EXPECT_EQ(after.st_ino == before.st_ino, same) << what << " " << piece;
            if (same) {
                EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
                EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
            }
            EXPECT_EQ(Entries(t.path(u"same/"_s)), QStringList{u"same.htm"_s}) << what << " " << piece;
        }
    }
}

}  // namespace
}  // namespace tessarel::testing
