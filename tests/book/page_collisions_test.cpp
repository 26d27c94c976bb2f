// What a project build keeps when its chapters cannot all have their pages:
// two chapters of one page name, a chapter named like a book file, a name no
// file can have, and sources that cannot be read. Each case lists the
// destination before and after the build.
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <map>

#include "book/page_names.h"
#include "book/project_build.h"
#include "book_fixture.h"
#include "pages/page_paths.h"
#include "support/file_read.h"
#include "support/paths.h"
#include "support/special_files.h"
#include "support/text_file.h"

namespace tessarel::testing {
namespace {

QStringList Names(const std::map<QString, QByteArray>& tree) {
    QStringList names;
    for (const auto& [name, bytes] : tree) {
        names << name;
    }
    return names;
}

class ChapterPages : public BookFixture {
protected:
    ProjectBuildResult build() { return BuildProject(ws); }

    QStringList rows() const {
        QStringList rows;
        for (const auto& line : env.ui.log) {
            rows << line.reason + u" | "_s + line.item + u" | "_s + line.title + u" | "_s + line.output +
                        (line.status == RowStatus::Failed ? u" | FAIL"_s : u""_s);
        }
        return rows;
    }

    QStringList indexPages() const {
        QStringList pages;
        for (const IndexEntry& entry : ws.IndexEntries) {
            pages << entry.EntryPage.section(u'#', 0, 0);
        }
        pages.removeDuplicates();
        pages.sort();
        return pages;
    }
};

QByteArray Documented(const char* name) {
    return QByteArray("// function: ") + name + "\n// What " + name + " does.\n";
}

TEST_F(ChapterPages, theFirstChapterKeepsAPageNameAndTheOthersAreRefused) {
    ws.project.settings.IncludeOnlyDocumentedFiles = false;
    addSource(u"a"_s, u"util.c"_s, Documented("from_a"));
    addSource(u"b"_s, u"util.c"_s, Documented("from_b"));
    addSource(u"src"_s, u"notes"_s, Documented("notes"));
    addSource(u"src"_s, u"notes.htm"_s, "<html>the user's notes</html>");
    addSource(u"src"_s, u"index.htm"_s, "<html>the user's index</html>");
    addSource(u"src"_s, u"_book.htm"_s);  // missing: even its error page would take the book's file
    addSource(u"b"_s, u"util.c"_s);       // the same file listed twice
    WriteBytes(dest + u"kept.txt"_s, "the user's file");
    const QByteArray sources =
        QCryptographicHash::hash(ReadBytes(ws.project.ProjectFolder + u"b/util.c"_s), QCryptographicHash::Sha1);

    const ProjectBuildResult result = build();

    EXPECT_EQ(rows(), (QStringList{
                          u"Built OK | util.c | from_a | util.c.htm"_s,
                          u"Page Name Taken | b/util.c | Page of a/util.c | util.c.htm | FAIL"_s,
                          u"Built OK | notes | notes | notes.htm"_s,
                          u"Page Name Taken | src/notes.htm | Page of src/notes | notes.htm | FAIL"_s,
                          u"Page Name Taken | src/index.htm | Page of the book | index.htm | FAIL"_s,
                          u"Page Name Taken | src/_book.htm | Page of the book | _book.htm | FAIL"_s,
                          u"Page Name Taken | b/util.c | Page of a/util.c | util.c.htm | FAIL"_s,
                          u"> HTML TOC |  |  | _book.htm"_s,
                          u"> HTML Index |  |  | _sorted_index.htm"_s,
                      }));
    ASSERT_EQ(env.ui.messages.size(), 1u);
    EXPECT_EQ(env.ui.messages[0].title, u"Page Name Taken"_s);
    EXPECT_EQ(env.ui.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(env.ui.messages[0].text, Crlf(u"These chapters were not built, as their page names are taken:\n"
                                            u"b/util.c: util.c.htm is the page of a/util.c\n"
                                            u"src/notes.htm: notes.htm is the page of src/notes\n"
                                            u"src/index.htm: index.htm is a file of the book\n"
                                            u"src/_book.htm: _book.htm is a file of the book\n"
                                            u"b/util.c: util.c.htm is the page of a/util.c"_s));
    EXPECT_EQ(result.chaptersFailed, 5);
    EXPECT_EQ(result.chaptersProcessed, 7);

    // Each page is its first chapter's; the book files are the book's.
    EXPECT_EQ(Names(Tree(dest)), (QStringList{u"_book.htm"_s, u"_dindex.htm"_s, u"_sorted_index.htm"_s, u"index.htm"_s,
                                              u"kept.txt"_s, u"notes.htm"_s, u"test.css"_s, u"util.c.htm"_s}));
    EXPECT_TRUE(read(u"util.c.htm"_s).contains(u"from_a"_s));
    EXPECT_FALSE(read(u"util.c.htm"_s).contains(u"from_b"_s));
    EXPECT_TRUE(read(u"notes.htm"_s).contains(u"What notes does."_s));
    EXPECT_TRUE(read(u"index.htm"_s).contains(u"<frameset"_s));
    EXPECT_TRUE(read(u"_book.htm"_s).contains(u"<table class=LinksTable"_s));
    EXPECT_EQ(ReadBytes(dest + u"kept.txt"_s), QByteArray("the user's file"));
    EXPECT_EQ(QCryptographicHash::hash(ReadBytes(ws.project.ProjectFolder + u"b/util.c"_s), QCryptographicHash::Sha1),
              sources);

    // A refused chapter is listed nowhere, not even as undocumented.
    EXPECT_EQ(read(u"_book.htm"_s).count(u"<tr class=SideLink>"_s), 2);
    EXPECT_EQ(read(u"_dindex.htm"_s).count(u"<tr class=SideLink>"_s), 2);
    EXPECT_EQ(indexPages(), (QStringList{u"notes.htm"_s, u"util.c.htm"_s}));
    EXPECT_FALSE(result.found[1].documented);
}

TEST_F(ChapterPages, letterCaseCountsAsThePlatformsFileSystemsCountIt) {
    addSource(u"a"_s, u"Util.c"_s, Documented("upper"));
    addSource(u"b"_s, u"util.c"_s, Documented("lower"));
    addSource(u"b"_s, u"Index.htm"_s, "<html>mine</html>");
    const ProjectBuildResult result = build();
    if (FileNamesIgnoreCase()) {
        EXPECT_EQ(result.chaptersFailed, 2);
        EXPECT_EQ(env.ui.log[1].reason, u"Page Name Taken"_s);
    } else {
        // Names that differ in case are different files here, and so are their pages.
        EXPECT_EQ(result.chaptersFailed, 0);
        EXPECT_TRUE(read(u"Util.c.htm"_s).contains(u"upper"_s));
        EXPECT_TRUE(read(u"util.c.htm"_s).contains(u"lower"_s));
        EXPECT_EQ(ReadBytes(dest + u"Index.htm"_s), QByteArray("<html>mine</html>"));
        EXPECT_TRUE(env.ui.messages.empty());
    }
}

TEST_F(ChapterPages, aFirstChapterNamedLikeABookFileDoesNotBecomeTheHomePage) {
    // No chapter is listed, so the home page falls back to a chapter's own page.
    ws.project.settings.IncludeOnlyDocumentedFiles = true;
    addSource(u"src"_s, u"index.htm"_s, "<html>mine</html>");
    addSource(u"src"_s, u"gone.c"_s);
    build();
    EXPECT_TRUE(read(u"index.htm"_s).contains(u"<frame src=\"gone.c.htm\" name=\"chapter\""_s));
}

// Qt warns "Broken filename" for a name holding a NUL; a build must not get
// that far with one.
QStringList qtWarnings;
void RecordWarning(QtMsgType, const QMessageLogContext&, const QString& text) { qtWarnings << text; }

TEST_F(ChapterPages, aNulInANameOrFolderIsABadNameAndNothingIsWrittenForIt) {
    addSource(u"src"_s, u"good.c"_s, Documented("good"));
    addSource(u"src"_s, u"bad"_s + QChar(u'\0') + u".c"_s);
    WriteBytes(ws.project.ProjectFolder + u"src/bad"_s, Documented("cut_short"));
    addSource(u"src"_s + QChar(u'\0') + u"x"_s, u"other.c"_s);
    const auto before = Tree(env.root.path());

    qtWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(RecordWarning);
    const ProjectBuildResult result = build();
    qInstallMessageHandler(previous);

    EXPECT_TRUE(qtWarnings.isEmpty()) << qtWarnings.join(u'\n').toStdString();
    EXPECT_EQ(rows().mid(0, 3), (QStringList{u"Built OK | good.c | good | good.c.htm"_s,
                                             u"Bad File Name | bad"_s + QChar(u'\0') + u".c | --- | --- | FAIL"_s,
                                             u"Bad File Name | other.c | --- | --- | FAIL"_s}));
    EXPECT_EQ(result.chaptersFailed, 2);
    EXPECT_TRUE(env.ui.messages.empty());
    QStringList made;
    const auto after = Tree(env.root.path());
    for (const auto& [name, digest] : after) {
        if (before.find(name) == before.end()) {
            made << name;
        }
    }
    EXPECT_EQ(made, (QStringList{u"out"_s, u"out/_book.htm"_s, u"out/_dindex.htm"_s, u"out/_sorted_index.htm"_s,
                                 u"out/good.c.htm"_s, u"out/index.htm"_s, u"out/test.css"_s}));
}

// A source that cannot be read this time keeps the page an earlier build gave
// it; only one that has none gets an error page, so its link still leads
// somewhere. The build goes on with the next chapter.
TEST_F(ChapterPages, sourcesThatAreNotReadKeepTheirOldPages) {
    ws.project.settings.IncludeOnlyDocumentedFiles = false;
    const QString src = ws.project.ProjectFolder + u"src/"_s;
    // An earlier build made the pages of the first four.
    for (const QString& name : {u"locked.c"_s, u"pipe.c"_s, u"pipe.htm"_s, u"huge.c"_s}) {
        addSource(u"src"_s, name, Documented("earlier"));
    }
    ASSERT_FALSE(build().destinationUnwritable);
    env.ui.log.clear();
    for (const QString& name : {u"locked.c"_s, u"pipe.c"_s, u"pipe.htm"_s, u"huge.c"_s}) {
        QFile::remove(src + name);
    }
    QDir().mkpath(src + u"locked.c"_s);
    ASSERT_TRUE(MakeFifo(src + u"pipe.c"_s));
    ASSERT_TRUE(MakeFifo(src + u"fresh.c"_s));
    ASSERT_TRUE(MakeFifo(src + u"pipe.htm"_s));
    ASSERT_TRUE(MakeSparseFile(src + u"huge.c"_s, kMaxReadBytes + 1));
    addSource(u"src"_s, u"fresh.c"_s);
    addSource(u"src"_s, u"good.c"_s, Documented("good"));
    const auto before = Tree(dest);

    const ProjectBuildResult result = build();

    EXPECT_EQ(rows().mid(0, 6), (QStringList{
                                    u"Unreadable File | locked.c | --- | locked.c.htm | FAIL"_s,
                                    u"Not a Regular File | pipe.c | --- | pipe.c.htm | FAIL"_s,
                                    u"Not a Regular File | pipe.htm | --- | pipe.htm | FAIL"_s,
                                    u"File Too Large | huge.c | --- | huge.c.htm | FAIL"_s,
                                    u"Not a Regular File | fresh.c | --- | fresh.c.htm | FAIL"_s,
                                    u"Built OK | good.c | good | good.c.htm"_s,
                                }));
    EXPECT_EQ(result.chaptersFailed, 5);
    EXPECT_TRUE(env.ui.messages.empty());
    const auto after = Tree(dest);
    for (const QString& page : {u"locked.c.htm"_s, u"pipe.c.htm"_s, u"pipe.htm"_s, u"huge.c.htm"_s}) {
        EXPECT_EQ(after.at(page), before.at(page)) << page.toStdString();
    }
    EXPECT_TRUE(read(u"fresh.c.htm"_s)
                    .contains(u"<h1> >> File not read</h1><h2>fresh.c</h2><ul><li>It is not a regular file but a "
                              u"pipe, a device or a socket, so it was not read.</li></ul>"_s));
    EXPECT_EQ(read(u"_book.htm"_s).count(u"[x] "_s), 5);
    EXPECT_EQ(indexPages(), QStringList{u"good.c.htm"_s});
}

}  // namespace
}  // namespace tessarel::testing
