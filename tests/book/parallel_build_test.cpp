#include "book/project_build.h"

#include "book/chapter_pool.h"
#include "book/page_names.h"
#include "book/project_sources.h"

#include "book_fixture.h"
#include "support/preferences.h"
#include "support/special_files.h"

#include <QRandomGenerator>

namespace tessarel::testing {
namespace {

/// Everything a build shows the user and leaves in the workspace, as text.
struct BuildRecord {
    QStringList rows, messages, captions;
    QStringList titles;  ///< each chapter's title and documented flag
    QStringList index;
    QString result;
    std::map<QString, QByteArray> tree;
};

/// The same project built with one worker and with several: the files, rows
/// and messages must not tell which.
class ParallelBuild : public BookFixture {
protected:
    ParallelBuild() : epoch_(qgetenv("SOURCE_DATE_EPOCH")), path_(qgetenv("PATH")) {
        // The pages' "last generated" date is the same in both builds.
        qputenv("SOURCE_DATE_EPOCH", "1700000000");
        // The help files are compared; no compiler runs, so the threaded
        // builds are all the thread sanitizer has to watch.
        env.preferences->WritePreference(prefs::kProject, prefs::kCompilerPath, env.path(u"none"_s));
        qputenv("PATH", env.path(u"none"_s).toLocal8Bit());
    }
    ~ParallelBuild() override {
        epoch_.isNull() ? qunsetenv("SOURCE_DATE_EPOCH") : qputenv("SOURCE_DATE_EPOCH", epoch_);
        qputenv("PATH", path_);
    }

    /// A documented C source in one of several comment styles, with `sections` sections.
    static QByteArray Documented(int n, int sections) {
        QByteArray text;
        for (int s = 0; s < sections; ++s) {
            const QByteArray name = "Topic " + QByteArray::number(n) + "." + QByteArray::number(s);
            switch ((n + s) % 3) {
            case 0:
                text += "/*\n * function: " + name + "\n * Does *this* with http://example.com/" + name.right(1) +
                        " and Topic 1.0.\n */\nint f" + QByteArray::number(s) + "(void);\n\n";
                break;
            case 1:
                text += "// section: " + name + "\n// A list:\n// - one\n// - two\n\n";
                break;
            default:
                text += "# topic: " + name + "\n# <b>bold</b> & \"quoted\" text\n\n";
                break;
            }
        }
        return text;
    }

    /// Many chapters of every kind, failures among them.
    void addMixedChapters(int count) {
        ws.project.settings.comments.hash = true;
        ws.project.settings.GenerateHtmlHelpFiles = true;
        ws.project.settings.Collapsible = true;
        ws.project.settings.IncludeLastGenerated = true;
        ws.project.settings.IncludeOnlyDocumentedFiles = false;
        for (int n = 0; n < count; ++n) {
            const QString name = u"file%1"_s.arg(n, 3, 10, QLatin1Char('0'));
            switch (n % 9) {
            case 0:
            case 1:
            case 2:
                addSource(u"src"_s, name + u".c"_s, Documented(n, 1 + n % 5));
                break;
            case 3:
                addSource(u"src"_s, name + u".htm"_s, "<html>" + name.toUtf8() + "</html>");
                break;
            case 4:
                addSource(u"src"_s, name + u".c"_s);  // missing
                break;
            case 5:
                addSource(u"src"_s, name + u".c"_s, "int no_comment;\n");  // no sections
                break;
            case 6:
                // The same name in another folder: its page is taken.
                addSource(u"other"_s, u"file%1.c"_s.arg(n - 6, 3, 10, QLatin1Char('0')), Documented(n, 2));
                break;
            case 7:
                addSource(u"src"_s, name + u".htm"_s);  // missing HTML
                break;
            default:
                ASSERT_TRUE(MakeFifo(ws.project.ProjectFolder + u"src/"_s + name + u".c"_s));
                addSource(u"src"_s, name + u".c"_s);  // not read
                break;
            }
        }
        addSource(u"src"_s, u"index.htm"_s, "<html>takes a book file</html>");
    }

    BuildRecord buildWith(int workers) {
        QDir(dest).removeRecursively();
        if (!blocked_.isEmpty()) {
            // A folder in the file's place: the file cannot take it.
            QDir().mkpath(dest + blocked_ + u"/inside"_s);
        }
        env.ui.log.clear();
        env.ui.messages.clear();
        env.ui.captions.clear();
        ws.buildWorkers = workers;
        const ProjectBuildResult result = BuildProject(ws);

        BuildRecord record;
        for (const auto& line : env.ui.log) {
            record.rows << QStringList{line.reason, line.item, QString::number(static_cast<int>(line.status)),
                                       line.title, line.output}
                               .join(u" | "_s);
        }
        for (const auto& message : env.ui.messages) {
            record.messages << message.title + u": "_s + message.text;
        }
        record.captions = env.ui.captions;
        for (size_t i = 0; i < result.found.size(); ++i) {
            const ChapterFinding& found = result.found[i];
            record.titles << result.chapters[i].Name + u": "_s + found.title + (found.documented ? u" +"_s : u" -"_s);
        }
        for (const IndexEntry& entry : ws.IndexEntries) {
            record.index << entry.EntryText + u" > "_s + entry.EntryPage + (entry.IsChapter ? u" C"_s : u""_s);
        }
        record.result = u"%1 %2 %3 %4 %5"_s.arg(result.chaptersTotal)
                            .arg(result.chaptersProcessed)
                            .arg(result.chaptersFailed)
                            .arg(result.cancelled)
                            .arg(result.destinationUnwritable);
        record.tree = Tree(dest);
        return record;
    }

    static void ExpectSame(const BuildRecord& one, const BuildRecord& many) {
        EXPECT_EQ(one.rows, many.rows);
        EXPECT_EQ(one.messages, many.messages);
        EXPECT_EQ(one.titles, many.titles);
        EXPECT_EQ(one.index, many.index);
        EXPECT_EQ(one.result, many.result);
        ASSERT_EQ(one.tree.size(), many.tree.size());
        for (const auto& [name, bytes] : one.tree) {
            const auto other = many.tree.find(name);
            ASSERT_NE(other, many.tree.end()) << name.toStdString();
            EXPECT_EQ(bytes, other->second) << name.toStdString();
        }
    }

    /// A book file with a folder in its place when the build starts.
    QString blocked_;

private:
    QByteArray epoch_;
    QByteArray path_;
};

TEST_F(ParallelBuild, manyWorkersWriteTheSameBookAndLogAsOne) {
    addMixedChapters(60);
    const BuildRecord one = buildWith(1);
    // The project holds what the test means it to: every kind of row.
    EXPECT_GE(one.rows.size(), 61);
    for (const QString& reason : {u"Built OK"_s, u"Not Built: HTML File"_s, u"Missing File"_s, u"No Sections"_s,
                                  u"Page Name Taken"_s, u"Missing HTML File"_s, u"Not a Regular File"_s}) {
        EXPECT_TRUE(one.rows.filter(reason + u" | "_s).size() > 0) << reason.toStdString();
    }
    EXPECT_TRUE(one.tree.count(u"_dindex.htm"_s) && one.tree.count(u"HTML Help/contents.hhc"_s));

    for (const int workers : {4, 2, 7}) {
        SCOPED_TRACE(workers);
        ExpectSame(one, buildWith(workers));
    }
    // One worker is the plain build: each chapter's own progress is shown.
    EXPECT_EQ(one.captions, buildWith(1).captions);
}

// Sorted file names, titles in the index and a project of one chapter take other paths.
TEST_F(ParallelBuild, sortedAndSmallProjectsAgreeToo) {
    ws.project.settings.SortFilenames = true;
    ws.project.settings.SortSections = true;
    ws.project.settings.Overview = ChapterOverview::Summary;
    QRandomGenerator random(15);
    for (int n = 0; n < 25; ++n) {
        const int key = static_cast<int>(random.bounded(1000));
        addSource(u"src"_s, u"z%1.c"_s.arg(key), Documented(key, 1 + key % 4));
    }
    ExpectSame(buildWith(1), buildWith(3));

    ws.project.Chapters.resize(1);
    ExpectSame(buildWith(1), buildWith(4));
}

// Cancel stops handing out chapters: what was handed out is finished and
// listed, nothing after it is written, and the book stands.
TEST_F(ParallelBuild, cancelListsEveryChapterItWroteAndWritesNoOther) {
    for (int n = 0; n < 40; ++n) {
        addSource(u"src"_s, u"c%1.c"_s.arg(n, 2, 10, QLatin1Char('0')), Documented(n, 3));
    }
    env.ui.onCaption = [this](const QString& caption) {
        if (caption.startsWith(u"c05.c "_s)) {
            env.ui.cancel = true;
        }
    };
    ws.buildWorkers = 3;
    const ProjectBuildResult result = BuildProject(ws);

    EXPECT_TRUE(result.cancelled);
    EXPECT_GE(result.chaptersProcessed, 5);
    // Workers run at most two chapters each ahead of the one shown.
    EXPECT_LE(result.chaptersProcessed, 5 + 2 * 3);
    int chapterRows = 0;
    for (const auto& line : env.ui.log) {
        chapterRows += line.item.endsWith(u".c"_s) ? 1 : 0;
    }
    EXPECT_EQ(chapterRows, result.chaptersProcessed);
    EXPECT_EQ(read(u"_book.htm"_s).count(u"<tr class=SideLink>"_s), result.chaptersProcessed);
    for (int n = 0; n < 40; ++n) {
        const QString page = u"c%1.c.htm"_s.arg(n, 2, 10, QLatin1Char('0'));
        EXPECT_EQ(QFileInfo::exists(dest + page), n < result.chaptersProcessed) << page.toStdString();
    }
    EXPECT_EQ(env.ui.captions.last(), u"Cancelled after %1 of 40 files"_s.arg(result.chaptersProcessed));
    EXPECT_FALSE(env.ui.cancel);
    EXPECT_TRUE(QFileInfo::exists(dest + u"index.htm"_s));
}

// A chapter the pool never handed out before it stopped is not waited for:
// a Cancel that lands while the workers are between chapters once hung here.
TEST_F(ParallelBuild, aStoppedPoolDoesNotWaitForChaptersItNeverHandedOut) {
    constexpr int kCount = 12;
    for (int n = 0; n < kCount; ++n) {
        addSource(u"src"_s, u"c%1.c"_s.arg(n, 2, 10, QLatin1Char('0')), Documented(n, 2));
    }
    const BookOutput out = output(0);
    const ProjectSources sources(ws.project, kCount);
    const std::vector<ChapterPagePlan> pages = PlanBookPages(out, kCount);
    const ChapterPass pass{ws, out, sources, pages, QDateTime::currentDateTimeUtc()};

    {
        // Stopped at once: only chapters handed out before it have results.
        ChapterPool pool(pass, kCount, 2);
        pool.stop();
        for (int i = 0; i < kCount; ++i) {
            const bool handedOut = pool.handedOut(i);
            EXPECT_EQ(pool.await(i, [] { return false; }).has_value(), handedOut) << i;
        }
        // The hand-out runs at most two chapters per worker ahead of those taken.
        EXPECT_FALSE(pool.handedOut(kCount - 1));
    }
    {
        // Cancel asked while the first chapter is awaited stops the pool.
        ChapterPool pool(pass, kCount, 2);
        int asked = 0;
        const auto cancelled = [&asked] { return ++asked == 1; };
        const std::optional<ChapterResult> first = pool.await(0, cancelled);
        if (asked == 0) {
            pool.stop();  // the chapter was there before Cancel was asked
        } else if (!first) {
            EXPECT_FALSE(pool.handedOut(0));
        }
        EXPECT_FALSE(pool.await(kCount - 1, [] { return false; }).has_value());
    }
}

// A page that cannot be written stops the build at that chapter, as with one worker.
TEST_F(ParallelBuild, aWriteFailureStopsAtTheSameChapter) {
    for (int n = 0; n < 12; ++n) {
        addSource(u"src"_s, u"c%1.c"_s.arg(n, 2, 10, QLatin1Char('0')), Documented(n, 2));
    }
    const auto blocked = [this] {
        // A folder in the page's place: the page cannot take it.
        QDir().mkpath(dest + u"c04.c.htm/inside"_s);
    };
    const auto build = [&](int workers) {
        QDir(dest).removeRecursively();
        blocked();
        env.ui.log.clear();
        env.ui.messages.clear();
        ws.buildWorkers = workers;
        const ProjectBuildResult result = BuildProject(ws);
        QStringList seen;
        for (const auto& line : env.ui.log) {
            seen << line.reason + u" "_s + line.item;
        }
        for (const auto& message : env.ui.messages) {
            seen << message.title;
        }
        seen << u"%1 %2"_s.arg(result.chaptersProcessed).arg(result.destinationUnwritable);
        return seen;
    };
    const QStringList one = build(1);
    EXPECT_EQ(one.last(), u"4 1"_s);
    EXPECT_EQ(one, build(4));
    // The previous book's lists are not replaced by a half one.
    EXPECT_FALSE(QFileInfo::exists(dest + u"_dindex.htm"_s));
}

// A file of the book around the chapters that cannot be written stops the
// writers after it as it does when they run one after the other.
TEST_F(ParallelBuild, aBookFileThatCannotBeWrittenStopsTheSameWriters) {
    addMixedChapters(20);
    ws.project.settings.IncludeSearch = true;
    // Each file in turn cannot be written: one failure, the last file
    // (written after every other) not in place, and the same with more workers.
    const auto eachBlocked = [this](std::initializer_list<QString> names, const QString& last,
                                    std::initializer_list<int> workers) {
        for (const QString& name : names) {
            SCOPED_TRACE(name.toStdString());
            blocked_ = name;
            const BuildRecord one = buildWith(1);
            EXPECT_EQ(one.messages.filter(dest + name).size(), 1);
            EXPECT_TRUE(one.result.endsWith(u" 1"_s));
            EXPECT_EQ(one.tree.count(last), 0u);
            for (const int count : workers) {
                ExpectSame(one, buildWith(count));
            }
        }
    };
    // The frames come last.
    eachBlocked({u"_sorted_index.htm"_s, u"index_active.hhk"_s, u"HTML Help/index.hhk"_s, u"_search_index.js"_s,
                 u"genesisa.htm"_s},
                u"genesisn.htm"_s, {2, 4});
    // The modern book's writers run side by side too; the tree script, sheet
    // and interface script come last.
    ws.project.settings.ModernLayout = true;
    blocked_.clear();
    const BuildRecord whole = buildWith(1);
    ASSERT_TRUE(whole.tree.count(u"_sorted_index.htm"_s) && whole.tree.count(u"_book.js"_s));
    // Each writer has a workspace of its own, and still reads the one sorted index.
    EXPECT_TRUE(whole.tree.at(u"_sorted_index.htm"_s).contains("file009.c.htm#Topic^9.4\">Topic 9.4</a>"));
    ExpectSame(whole, buildWith(2));
    eachBlocked(
        {u"_dindex.htm"_s, u"_sorted_index.htm"_s, u"HTML Help/index.hhk"_s, u"_search.htm"_s, u"_book_data.js"_s},
        u"_book.js"_s, {2, 3});
}

}  // namespace
}  // namespace tessarel::testing
