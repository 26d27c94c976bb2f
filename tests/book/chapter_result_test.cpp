#include "book/chapter_pass.h"

#include "book/book_output.h"
#include "book/page_names.h"
#include "book/project_sources.h"
#include "book_fixture.h"

namespace tessarel::testing {
namespace {

/// One chapter built alone, as a worker builds it: with no live interface.
class ChapterResultTest : public BookFixture {
protected:
    ChapterResult buildAlone(int i) {
        BookOutput out = output(0);
        const ProjectSources sources(ws.project, ws.project.chapterCount());
        const std::vector<ChapterPagePlan> pages =
            PlanChapterPages(ws.project, ws.project.chapterCount(), u"test.css"_s);
        for (const ChapterPagePlan& plan : pages) {
            out.withoutPage.push_back(plan.claim != PageClaim::Own);
        }
        const ChapterPass pass{ws, out, sources, pages, QDateTime::fromSecsSinceEpoch(0)};
        DocumentModel doc;
        PageBuffer page;
        return BuildBookChapter(pass, {doc, page}, i, nullptr);
    }

    static QStringList rows(const ChapterResult& result) {
        QStringList rows;
        for (const ChapterNote& note : result.notes) {
            rows << note.reason + u"|"_s + note.item + u"|"_s + note.title + u"|"_s + note.output;
        }
        return rows;
    }
};

// The result carries all the book needs, and the user hears nothing until it is replayed.
TEST_F(ChapterResultTest, aBuiltChapterKeepsItsRowTitleAndSectionsUntilReplayed) {
    addSource(u"src"_s, u"main.c"_s,
              "/*\n * module: Main Unit\n */\n\n/*\n * function: Open File\n * Opens it.\n */\n\n"
              "/*\n * function: Close File\n * Closes it.\n */\n");
    addSource(u"src"_s, u"gone.c"_s);
    addSource(u"src"_s, u"main.c"_s);  // a second main.c.htm is refused

    const ChapterResult built = buildAlone(0);
    EXPECT_TRUE(env.ui.log.empty());
    EXPECT_EQ(env.ui.progressSteps, 0);
    EXPECT_EQ(built.chapter, 0);
    EXPECT_TRUE(built.written);
    EXPECT_FALSE(built.failed);
    EXPECT_TRUE(built.documented);
    EXPECT_EQ(built.title, u"Main Unit"_s);
    EXPECT_EQ(built.sections, 3);
    EXPECT_EQ(built.sectionNames, (QStringList{u"Open File"_s, u"Close File"_s}));
    EXPECT_EQ(rows(built), QStringList{u"Built OK|main.c|Main Unit|main.c.htm"_s});
    EXPECT_TRUE(QFileInfo(dest + u"main.c.htm"_s).isFile());

    const ChapterResult missing = buildAlone(1);
    EXPECT_TRUE(missing.failed);
    EXPECT_EQ(missing.sections, 0);
    EXPECT_EQ(missing.title, u"gone.c"_s);
    EXPECT_EQ(rows(missing), QStringList{u"Missing File|gone.c|---|---"_s});
    EXPECT_TRUE(read(u"gone.c.htm"_s).contains(u"File not found"_s));

    const ChapterResult refused = buildAlone(2);
    EXPECT_TRUE(refused.failed);
    EXPECT_EQ(rows(refused), QStringList{u"Page Name Taken|src/main.c|Page of src/main.c|main.c.htm"_s});

    ReplayChapterNotes(env.ui, built);
    ReplayChapterNotes(env.ui, missing);
    ASSERT_EQ(env.ui.log.size(), 2u);
    EXPECT_EQ(env.ui.log[0].reason, u"Built OK"_s);
    EXPECT_EQ(env.ui.log[1].reason, u"Missing File"_s);
}

// Messages and log text come back in the order they were given.
TEST_F(ChapterResultTest, theRecorderKeepsEveryKindOfNoteInOrder) {
    ChapterResult result;
    std::atomic<bool> cancel{false};
    ChapterRecorder recorder(result, nullptr, &cancel);
    recorder.addLogRow(u"Built OK"_s, u"a.c"_s, RowStatus::Ok, u"A"_s, u"a.c.htm"_s);
    recorder.message(u"Read only file"_s, u"Unable to write"_s, MessageIcon::Exclamation, MessageButtons::Ok);
    recorder.addLogText(u"said"_s);
    recorder.advanceProgress();
    EXPECT_FALSE(recorder.cancelRequested());
    cancel = true;
    EXPECT_TRUE(recorder.cancelRequested());

    ReplayChapterNotes(env.ui, result);
    ASSERT_EQ(env.ui.log.size(), 1u);
    EXPECT_EQ(env.ui.log[0].item, u"a.c"_s);
    ASSERT_EQ(env.ui.messages.size(), 1u);
    EXPECT_EQ(env.ui.messages[0].title, u"Read only file"_s);
    EXPECT_EQ(env.ui.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(env.ui.progressSteps, 0);
    ASSERT_EQ(result.notes.size(), 3u);
    EXPECT_EQ(result.notes[2].kind, ChapterNote::Kind::LogText);
    EXPECT_EQ(result.notes[2].text, u"said"_s);
}

}  // namespace
}  // namespace tessarel::testing
