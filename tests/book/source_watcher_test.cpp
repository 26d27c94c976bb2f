// The watcher behind the live preview and the console's watch mode, driven by
// real files in a temporary folder. Every wait is for an event, with room to
// spare on a loaded machine; nothing here measures speed.
#include "book/source_watcher.h"
#include "support/testing.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

namespace tessarel::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

constexpr int kEventWaitMs = 5000;  // generous: the machine may be busy
constexpr int kSilenceMs = 700;     // well past the quiet time

class SourceWatcherTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "book_tests";
            static char* argv[] = {name, nullptr};
            new QCoreApplication(argc, argv);  // lives until the program ends
        }
    }

    QString path(const QString& name) const { return dir.path() + u"/"_s + name; }
    void append(const QString& name, const QByteArray& bytes) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(bytes);
    }
    /// Saves as many editors do: a new file, renamed over the old one.
    void saveByRename(const QString& name, const QByteArray& bytes) {
        WriteBytes(path(name + u".new"_s), bytes);
        std::filesystem::rename(path(name + u".new"_s).toStdString(), path(name).toStdString());
    }
    /// Waits for the next report and returns it.
    QStringList nextReport(QSignalSpy& spy) {
        const qsizetype before = spy.count();
        if (!QTest::qWaitFor([&] { return spy.count() > before; }, kEventWaitMs)) {
            return {u"(no report)"_s};
        }
        return spy.at(before).at(0).toStringList();
    }

    QTemporaryDir dir;
    SourceWatcher watcher;
};

TEST_F(SourceWatcherTest, ABurstOfWritesGivesOneReportAndOtherFilesGiveNone) {
    WriteBytes(path(u"main.c"_s), "// one\n");
    WriteBytes(path(u"util.c"_s), "// two\n");
    watcher.watch({path(u"main.c"_s), path(u"util.c"_s)});
    QSignalSpy spy(&watcher, &SourceWatcher::changed);

    for (int i = 0; i < 5; ++i) {
        append(u"main.c"_s, "// more\n");
        QTest::qWait(20);
    }
    append(u"util.c"_s, "// more\n");
    EXPECT_EQ(nextReport(spy), QStringList({path(u"main.c"_s), path(u"util.c"_s)}));
    QTest::qWait(kSilenceMs);
    EXPECT_EQ(spy.count(), 1);

    // What a build writes beside its sources is not a change of them, nor is
    // a file of another name renamed into the folder.
    WriteBytes(path(u"main.c.htm"_s), "<html>");
    saveByRename(u"main.c.htm"_s, "<html>2");
    QFile::remove(path(u"main.c.htm"_s));
    QTest::qWait(kSilenceMs);
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(SourceWatcherTest, FollowsAnEditorThatRenamesANewFileOverTheOld) {
    WriteBytes(path(u"main.c"_s), "// one\n");
    watcher.watch({path(u"main.c"_s)});
    QSignalSpy spy(&watcher, &SourceWatcher::changed);

    saveByRename(u"main.c"_s, "// two\n");
    EXPECT_EQ(nextReport(spy), QStringList{path(u"main.c"_s)});
    // The new file is the one watched now: writing it in place is seen too,
    // and so is the next save by rename.
    append(u"main.c"_s, "// three\n");
    EXPECT_EQ(nextReport(spy), QStringList{path(u"main.c"_s)});
    saveByRename(u"main.c"_s, "// four, longer\n");
    EXPECT_EQ(nextReport(spy), QStringList{path(u"main.c"_s)});
    EXPECT_EQ(watcher.files(), QStringList{path(u"main.c"_s)});
}

TEST_F(SourceWatcherTest, ADeletedFileIsReportedOnceAndAgainWhenItComesBack) {
    WriteBytes(path(u"main.c"_s), "// one\n");
    watcher.watch({path(u"main.c"_s)});
    QSignalSpy spy(&watcher, &SourceWatcher::changed);

    ASSERT_TRUE(QFile::remove(path(u"main.c"_s)));
    EXPECT_EQ(nextReport(spy), QStringList{path(u"main.c"_s)});
    WriteBytes(path(u"other.c"_s), "// unrelated\n");
    QTest::qWait(kSilenceMs);
    EXPECT_EQ(spy.count(), 1);

    WriteBytes(path(u"main.c"_s), "// back\n");
    EXPECT_EQ(nextReport(spy), QStringList{path(u"main.c"_s)});
    append(u"main.c"_s, "// and written\n");
    EXPECT_EQ(nextReport(spy), QStringList{path(u"main.c"_s)});
}

TEST_F(SourceWatcherTest, StopsCleanlyAndANewListReplacesTheOld) {
    WriteBytes(path(u"a.c"_s), "// a\n");
    WriteBytes(path(u"b.c"_s), "// b\n");
    watcher.watch({path(u"a.c"_s)});
    QSignalSpy spy(&watcher, &SourceWatcher::changed);

    // A change already waiting is dropped with the file that left the list.
    append(u"a.c"_s, "// a2\n");
    QTest::qWait(50);
    watcher.watch({path(u"b.c"_s)});
    append(u"a.c"_s, "// a3\n");
    QTest::qWait(kSilenceMs);
    EXPECT_EQ(spy.count(), 0);
    append(u"b.c"_s, "// b2\n");
    EXPECT_EQ(nextReport(spy), QStringList{path(u"b.c"_s)});

    // Stopped between a write and its report: no report, then or later.
    append(u"b.c"_s, "// b3\n");
    QTest::qWait(50);
    watcher.stop();
    EXPECT_FALSE(watcher.isWatching());
    append(u"b.c"_s, "// b4\n");
    QFile::remove(path(u"b.c"_s));
    QTest::qWait(kSilenceMs);
    EXPECT_EQ(spy.count(), 1);
}

}  // namespace
}  // namespace tessarel::testing
