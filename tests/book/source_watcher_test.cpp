// The watcher behind the live preview and the console's watch mode, driven by
// real files in a temporary folder. Every wait is for an event, with room to
// spare on a loaded machine; nothing here measures speed. That something was
// not reported is shown by the next report, of a later change, holding
// nothing else: the system tells of changes in the order they happened.
#include "book/source_watcher.h"
#include "support/testing.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

namespace tessarel::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

constexpr int kEventWaitMs = 30000;     // a ceiling for a busy machine, never a measure
constexpr int kHeldMs = 24 * 3600'000;  // a report held back for longer than any test runs

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
    /// Holds reports back, or lets them go after the usual quiet time.
    void holdReports(bool held) {
        watcher.setQuietTime(held ? kHeldMs : SourceWatcher::kDefaultQuietMs);
        watcher.setLongestWait(held ? kHeldMs : SourceWatcher::kLongestWaitMs);
    }
    /// Waits until the watcher has seen changes of these files and not reported them yet.
    bool seenWaiting(const QStringList& files) {
        return QTest::qWaitFor([&] { return watcher.waitingChanges() == files; }, kEventWaitMs);
    }

    QTemporaryDir dir;
    SourceWatcher watcher;
};

TEST_F(SourceWatcherTest, ABurstOfWritesGivesOneReportAndOtherFilesGiveNone) {
    WriteBytes(path(u"main.c"_s), "// one\n");
    WriteBytes(path(u"util.c"_s), "// two\n");
    watcher.watch({path(u"main.c"_s), path(u"util.c"_s)});
    QSignalSpy spy(&watcher, &SourceWatcher::changed);

    // Seen part by part, the writes still wait for one another.
    holdReports(true);
    append(u"main.c"_s, "// more\n");
    ASSERT_TRUE(seenWaiting({path(u"main.c"_s)}));
    for (int i = 0; i < 4; ++i) {
        append(u"main.c"_s, "// more\n");
    }
    append(u"util.c"_s, "// more\n");
    ASSERT_TRUE(seenWaiting({path(u"main.c"_s), path(u"util.c"_s)}));
    holdReports(false);
    EXPECT_EQ(nextReport(spy), QStringList({path(u"main.c"_s), path(u"util.c"_s)}));

    // What a build writes beside its sources is not a change of them, nor is
    // a file of another name renamed into the folder.
    WriteBytes(path(u"main.c.htm"_s), "<html>");
    saveByRename(u"main.c.htm"_s, "<html>2");
    QFile::remove(path(u"main.c.htm"_s));
    append(u"util.c"_s, "// and again\n");
    EXPECT_EQ(nextReport(spy), QStringList{path(u"util.c"_s)});
    EXPECT_EQ(spy.count(), 2);
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
    WriteBytes(path(u"util.c"_s), "// two\n");
    watcher.watch({path(u"main.c"_s), path(u"util.c"_s)});
    QSignalSpy spy(&watcher, &SourceWatcher::changed);

    ASSERT_TRUE(QFile::remove(path(u"main.c"_s)));
    EXPECT_EQ(nextReport(spy), QStringList{path(u"main.c"_s)});
    WriteBytes(path(u"other.c"_s), "// unrelated\n");
    append(u"util.c"_s, "// more\n");
    EXPECT_EQ(nextReport(spy), QStringList{path(u"util.c"_s)});

    WriteBytes(path(u"main.c"_s), "// back\n");
    EXPECT_EQ(nextReport(spy), QStringList{path(u"main.c"_s)});
    append(u"main.c"_s, "// and written\n");
    EXPECT_EQ(nextReport(spy), QStringList{path(u"main.c"_s)});
    EXPECT_EQ(spy.count(), 4);
}

// A checkout or an unpacked archive removes a folder of sources and makes it
// again, at once or a level at a time: each file is seen gone and back, and
// its folder is watched again, so its next save is seen too.
TEST_F(SourceWatcherTest, FollowsAFolderRemovedAndMadeAgain) {
    const QStringList files{path(u"src/main.c"_s), path(u"src/sub/util.c"_s)};
    const auto makeBoth = [&] {
        for (const QString& file : files) {
            WriteBytes(file, "// here\n");
        }
    };
    makeBoth();
    watcher.watch(files);
    QSignalSpy spy(&watcher, &SourceWatcher::changed);

    ASSERT_TRUE(QDir(path(u"src"_s)).removeRecursively());
    EXPECT_EQ(nextReport(spy), files);
    makeBoth();
    ASSERT_EQ(nextReport(spy), files);
    append(u"src/sub/util.c"_s, "// saved\n");
    EXPECT_EQ(nextReport(spy), QStringList{files[1]});

    // Gone and back before the watcher looks.
    ASSERT_TRUE(QDir(path(u"src"_s)).removeRecursively());
    makeBoth();
    EXPECT_EQ(nextReport(spy), files);
    append(u"src/main.c"_s, "// saved\n");
    EXPECT_EQ(nextReport(spy), QStringList{files[0]});

    // Back a level at a time.
    ASSERT_TRUE(QDir(path(u"src"_s)).removeRecursively());
    EXPECT_EQ(nextReport(spy), files);
    WriteBytes(files[0], "// first\n");
    EXPECT_EQ(nextReport(spy), QStringList{files[0]});
    WriteBytes(files[1], "// later\n");
    EXPECT_EQ(nextReport(spy), QStringList{files[1]});
    append(u"src/sub/util.c"_s, "// saved\n");
    EXPECT_EQ(nextReport(spy), QStringList{files[1]});
    EXPECT_EQ(spy.count(), 9);
}

TEST_F(SourceWatcherTest, StopsCleanlyAndANewListReplacesTheOld) {
    WriteBytes(path(u"a.c"_s), "// a\n");
    WriteBytes(path(u"b.c"_s), "// b\n");
    watcher.watch({path(u"a.c"_s)});
    QSignalSpy spy(&watcher, &SourceWatcher::changed);

    // A change already waiting is dropped with the file that left the list.
    holdReports(true);
    append(u"a.c"_s, "// a2\n");
    ASSERT_TRUE(seenWaiting({path(u"a.c"_s)}));
    watcher.watch({path(u"b.c"_s)});
    EXPECT_EQ(watcher.waitingChanges(), QStringList());
    holdReports(false);
    append(u"a.c"_s, "// a3\n");
    append(u"b.c"_s, "// b2\n");
    EXPECT_EQ(nextReport(spy), QStringList{path(u"b.c"_s)});
    EXPECT_EQ(spy.count(), 1);

    // Stopped between a write and its report: nothing is left to report.
    holdReports(true);
    append(u"b.c"_s, "// b3\n");
    ASSERT_TRUE(seenWaiting({path(u"b.c"_s)}));
    watcher.stop();
    EXPECT_FALSE(watcher.isWatching());
    EXPECT_EQ(watcher.waitingChanges(), QStringList());
    EXPECT_EQ(spy.count(), 1);
}

}  // namespace
}  // namespace tessarel::testing
