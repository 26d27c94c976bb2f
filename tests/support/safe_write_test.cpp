// A failed write keeps the file that stood there. The failures are made with
// read-only files and folders where a file must go: other permission bits do
// not stop a test run as root.
#include "support/file_functions.h"
#include "support/testing.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace tessarel::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(SafeWrite, aWriteStoppedByAFolderKeepsWhatStoodThere) {
    TestEnvironment t;
    const QString path = t.path(u"page.htm"_s);
    WriteBytes(path, "the good page\r\n");
    // A file without its owner's write permission is kept even from root.
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    EXPECT_FALSE(WriteTextFile(t.ui, path, u"a new page"_s));
    EXPECT_EQ(ReadBytes(path), QByteArray("the good page\r\n"));

    // A folder where the file itself goes.
    const QString folder = t.path(u"folder.htm"_s);
    WriteBytes(folder + u"/inside.txt"_s, "kept");
    EXPECT_FALSE(WriteTextFile(t.ui, folder, u"text"_s));
    EXPECT_EQ(ReadBytes(folder + u"/inside.txt"_s), QByteArray("kept"));

    ASSERT_EQ(t.ui.messages.size(), 2u);
    EXPECT_EQ(t.ui.messages[0].title, u"Read only file"_s);
    EXPECT_EQ(t.ui.messages[0].text.split(u"\r\n"_s).value(1), path);
    EXPECT_EQ(t.ui.messages[1].text.split(u"\r\n"_s).value(1), folder);
}

// A name near the file system's limit leaves no room for the usual suffix of
// the file written beside it.
TEST(SafeWrite, aFileWithAVeryLongNameCanBeReplaced) {
    TestEnvironment t;
    const QString path = t.path(QString(250, u'n') + u".htm"_s);
    ASSERT_TRUE(WriteTextFile(t.ui, path, u"first"_s));
    ASSERT_TRUE(WriteTextFile(t.ui, path, u"second"_s));
    EXPECT_EQ(ReadBytes(path), QByteArray("second\r\n"));
    EXPECT_TRUE(t.ui.messages.empty());
    EXPECT_EQ(QDir(t.root.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

}  // namespace
}  // namespace tessarel::testing
