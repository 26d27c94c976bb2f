#include "support/file_read.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFile>
#include <cstring>

#include "support/special_files.h"
#include "support/testing.h"

namespace tessarel {
namespace {

using namespace Qt::Literals::StringLiterals;
using testing::MakeFifo;
using testing::MakeSparseFile;
using testing::TestEnvironment;
using testing::WriteBytes;

/// Reads into bytes that already hold something, which a failure must keep.
ReadResult ReadKeeping(const QString& path, qint64 limit = kMaxReadBytes) {
    QByteArray bytes("kept");
    const ReadResult result = ReadRegularFile(path, bytes, limit);
    if (!result.ok()) {
        EXPECT_EQ(bytes, QByteArray("kept")) << path.toStdString();
    }
    return result;
}

TEST(ReadRegularFile, ReadsRegularFilesAndRefusesEverythingElseAtOnce) {
    TestEnvironment t;
    WriteBytes(t.path(u"plain.c"_s), "int x;");
    QByteArray bytes;
    ASSERT_TRUE(ReadRegularFile(t.path(u"plain.c"_s), bytes).ok());
    EXPECT_EQ(bytes, QByteArray("int x;"));
    // A link to a regular file is read like the file, unless links are refused.
    ASSERT_TRUE(QFile::link(t.path(u"plain.c"_s), t.path(u"link.c"_s)));
    EXPECT_TRUE(ReadRegularFile(t.path(u"link.c"_s), bytes).ok());
    QByteArray kept("kept");
    EXPECT_EQ(ReadRegularFile(t.path(u"link.c"_s), kept, kMaxReadBytes, LinkPolicy::Refuse).outcome,
              ReadOutcome::NotRegularFile);
    EXPECT_EQ(kept, QByteArray("kept"));
    EXPECT_TRUE(ReadRegularFile(t.path(u"plain.c"_s), kept, kMaxReadBytes, LinkPolicy::Refuse).ok());

    // A pipe without a writer, directly or through a link: refused, not waited on.
    ASSERT_TRUE(MakeFifo(t.path(u"pipe.c"_s)));
    ASSERT_TRUE(QFile::link(t.path(u"pipe.c"_s), t.path(u"to-pipe.c"_s)));
    EXPECT_EQ(ReadKeeping(t.path(u"pipe.c"_s)).outcome, ReadOutcome::NotRegularFile);
    EXPECT_EQ(ReadKeeping(t.path(u"to-pipe.c"_s)).outcome, ReadOutcome::NotRegularFile);
    // Devices that never end or never answer.
    EXPECT_EQ(ReadKeeping(u"/dev/zero"_s).outcome, ReadOutcome::NotRegularFile);
    EXPECT_EQ(ReadKeeping(u"/dev/null"_s).outcome, ReadOutcome::NotRegularFile);

    // A socket cannot even be opened; it is still named for what it is.
    const QByteArray socketPath = QFile::encodeName(t.path(u"socket.c"_s));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<size_t>(socketPath.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, socketPath.constData(), static_cast<size_t>(socketPath.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    EXPECT_EQ(ReadKeeping(t.path(u"socket.c"_s)).outcome, ReadOutcome::NotRegularFile);
    ::close(fd);

    // Missing files and folders are unreadable, with the system's words.
    const ReadResult missing = ReadKeeping(t.path(u"gone.c"_s));
    EXPECT_EQ(missing.outcome, ReadOutcome::Unreadable);
    EXPECT_EQ(ReadFailureText(missing), u"It could not be read: No such file or directory."_s);
    EXPECT_EQ(ReadKeeping(t.path(QString())).outcome, ReadOutcome::Unreadable);
    EXPECT_EQ(ReadKeeping(t.root.path()).outcome, ReadOutcome::Unreadable);
    // A NUL would cut the name short: "plain.c\0x" must not read "plain.c".
    EXPECT_EQ(ReadKeeping(t.path(u"plain.c"_s) + QChar(u'\0') + u"x"_s).outcome, ReadOutcome::Unreadable);

    if (::geteuid() != 0) {
        QFile::setPermissions(t.path(u"plain.c"_s), QFileDevice::Permissions());
        EXPECT_EQ(ReadKeeping(t.path(u"plain.c"_s)).systemMessage, u"Permission denied"_s);
    }
}

TEST(ReadRegularFile, TheSizeLimitHoldsBeforeAndWhileReading) {
    TestEnvironment t;
    WriteBytes(t.path(u"ten.c"_s), "0123456789");
    QByteArray bytes;
    EXPECT_TRUE(ReadRegularFile(t.path(u"ten.c"_s), bytes, 10).ok());
    EXPECT_EQ(ReadKeeping(t.path(u"ten.c"_s), 9).outcome, ReadOutcome::TooLarge);
    // Told by the size alone: the sparse file's bytes are never read.
    ASSERT_TRUE(MakeSparseFile(t.path(u"huge.c"_s), kMaxReadBytes + 1));
    EXPECT_EQ(ReadKeeping(t.path(u"huge.c"_s)).outcome, ReadOutcome::TooLarge);
    EXPECT_EQ(ProbeRegularFile(t.path(u"huge.c"_s)), ReadOutcome::TooLarge);
    ASSERT_TRUE(MakeSparseFile(t.path(u"limit.c"_s), kMaxReadBytes));
    EXPECT_EQ(ProbeRegularFile(t.path(u"limit.c"_s)), ReadOutcome::Read);
    // Files that claim no size are read to their end, within the limit.
    ASSERT_TRUE(ReadRegularFile(u"/proc/self/status"_s, bytes).ok());
    EXPECT_TRUE(bytes.contains("Name:"));
    EXPECT_EQ(ReadKeeping(u"/proc/self/status"_s, 8).outcome, ReadOutcome::TooLarge);
}

TEST(ReadFailures, ReasonsAndSentences) {
    EXPECT_EQ(ReadFailureReason(ReadOutcome::Unreadable), u"Unreadable File"_s);
    EXPECT_EQ(ReadFailureReason(ReadOutcome::NotRegularFile), u"Not a Regular File"_s);
    EXPECT_EQ(ReadFailureReason(ReadOutcome::TooLarge), u"File Too Large"_s);
    EXPECT_EQ(ReadFailureReason(ReadOutcome::OutOfMemory), u"Out of Memory"_s);
    EXPECT_EQ(ReadFailureText({ReadOutcome::TooLarge, QString()}),
              u"It is larger than 256 MB, the most Tessarel reads."_s);
    EXPECT_EQ(ReadFailureText({ReadOutcome::Unreadable, QString()}), u"It could not be read."_s);
}

}  // namespace
}  // namespace tessarel
