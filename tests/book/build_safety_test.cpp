// What a project build may touch: only its destination, never through a link,
// never a source, never another build's files, never a sheet of the user's.
// Each case lists the file trees before and after the build.
#include "book/book_files.h"
#include "book/build_record.h"
#include "book/destination_lock.h"
#include "book/help_compiler_run.h"
#include "book/html_help.h"
#include "book/page_names.h"
#include "book/project_build.h"
#include "book/search_index.h"
#include "book_fixture.h"
#include "pages/single_file_build.h"
#include "pages/style.h"
#include "support/special_files.h"
#include "support/text_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>

#include <tuple>

namespace tessarel::testing {
namespace {

const QByteArray kDocumented = "// file: Chapter\r\n// Intro.\r\n\r\n// function: alpha\r\n// Alpha text.\r\n";

class BuildSafety : public BookFixture {
protected:
    BuildSafety() { outside = env.path(u"outside/"_s); }

    void addSource(const QString& folder, const QString& name, const QByteArray& bytes) {
        WriteBytes(folder + name, bytes);
        addChapter(name, QString(), false);
        ws.project.Chapters.back().RelPath = folder;
    }

    QStringList logRows() const {
        QStringList rows;
        for (const auto& line : env.ui.log) {
            rows << line.reason + u"|"_s + line.item + u"|"_s +
                        (line.status == RowStatus::Failed ? u"FAIL"_s : u"ok"_s);
        }
        return rows;
    }

    QString outside;
};

TEST_F(BuildSafety, linksInTheDestinationAreReplacedNeverFollowed) {
    ws.project.settings.GenerateHtmlHelpFiles = true;
    ws.project.settings.Collapsible = true;
    env.preferences->WritePreference(prefs::kProject, prefs::kCompilerPath, env.path(u"none"_s));
    addSource(env.path(u"proj/src/"_s), u"a.c"_s, kDocumented);
    WriteBytes(outside + u"victim.txt"_s, "precious");
    QDir().mkpath(dest + u"HTML Help"_s);
    const std::pair<const char*, const char*> links[] = {
        {"a.c.htm", "page"},                                        // a chapter page
        {"index.htm", "victim.txt"},                                // a book page, pointing at a file
        {"_dindex.htm", "growing"},                                 // a growing book file
        {"_dindex.htm.tessarel-new", "old"},                        // where an old build grew it
        {"contents_active.hhc", "victim.txt"},                      // another growing file
        {"HTML Help/contents.hhc", "help"},                         // one in the help folder
        {"test.css", "victim.txt"},                                 // the linked style sheet
        {".tessarel-0123456789abcdef.tessarel-new", "victim.txt"},  // a leftover
    };
    for (const auto& [name, target] : links) {
        ASSERT_TRUE(QFile::link(outside + QLatin1String(target), dest + QLatin1String(name))) << name;
    }
    const auto outsideBefore = Tree(outside);

    // A link is no file Tessarel wrote: the window asks, and the user agrees.
    QStringList asked = FilesABuildWouldReplace(ws);
    asked.sort();
    EXPECT_EQ(asked, (QStringList{u"HTML Help/contents.hhc"_s, u"_dindex.htm"_s, u"a.c.htm"_s, u"contents_active.hhc"_s,
                                  u"index.htm"_s, u"test.css"_s}));
    const ProjectBuildResult result = BuildProject(ws, {.replace = asked});

    EXPECT_FALSE(result.destinationUnwritable);
    EXPECT_EQ(result.filesKept, 0);
    EXPECT_EQ(Tree(outside), outsideBefore);
    for (const auto& [name, target] : links) {
        const QFileInfo entry(dest + QLatin1String(name));
        EXPECT_FALSE(entry.isSymLink()) << name;
    }
    EXPECT_TRUE(ReadBytes(dest + u"a.c.htm"_s).contains("Alpha text."));
    EXPECT_TRUE(read(u"index.htm"_s).contains(u"genesisa.htm"_s));
    EXPECT_TRUE(read(u"_dindex.htm"_s).endsWith(u"</html>\r\n\r\n"_s));
    EXPECT_EQ(read(u"test.css"_s), u"body { color: black; }\r\n"_s);
    // Leftovers go, and the lock goes with the build.
    for (const auto& [path, bytes] : Tree(dest)) {
        EXPECT_FALSE(path.endsWith(u".tessarel-new"_s)) << path.toStdString();
        EXPECT_FALSE(path.endsWith(kDestinationLockName)) << path.toStdString();
    }
}

// A folder the build needs that is a link would have every file written
// through it.
TEST_F(BuildSafety, aHelpFolderThatIsALinkStopsTheBuild) {
    ws.project.settings.GenerateHtmlHelpFiles = true;
    addSource(env.path(u"proj/src/"_s), u"a.c"_s, kDocumented);
    // A leftover's name in the linked folder is not the build's to remove.
    WriteBytes(outside + u"x.tessarel-new"_s, "not in the destination");
    QDir().mkpath(dest);
    ASSERT_TRUE(QFile::link(outside, dest + u"HTML Help"_s));
    const auto outsideBefore = Tree(outside);

    const ProjectBuildResult result = BuildProject(ws);

    EXPECT_TRUE(result.destinationUnwritable);
    EXPECT_EQ(Tree(outside), outsideBefore);
    ASSERT_EQ(env.ui.messages.size(), 1u);
    EXPECT_EQ(env.ui.messages[0].title, u"Link not followed"_s);
    EXPECT_TRUE(env.ui.messages[0].text.contains(u"a build does not write through links"_s));
}

TEST_F(BuildSafety, leftoversOfAKilledBuildGoWithTheNextBuild) {
    ws.project.settings.GenerateHtmlHelpFiles = true;
    env.preferences->WritePreference(prefs::kProject, prefs::kCompilerPath, env.path(u"none"_s));
    addSource(env.path(u"proj/src/"_s), u"a.c"_s, kDocumented);
    WriteBytes(dest + u"a.c.htm.tessarel-new"_s, "");
    WriteBytes(dest + u".tessarel-zz9u1k0aaaa3ftq1.tessarel-new"_s, "half a page");
    WriteBytes(dest + u"HTML Help/help.hhp.tessarel-new"_s, "[OPTIONS]");
    WriteBytes(dest + u"user.tessarel-new/inside.txt"_s, "a folder is not a leftover");
    ASSERT_TRUE(QFile::link(outside + u"gone"_s, dest + u"dangling.tessarel-new"_s));
    // The lock of a build that was killed: its process is gone.
    {
        QProcess gone;
        gone.start(u"sleep"_s, {u"0.1"_s});
        ASSERT_TRUE(gone.waitForStarted());
        const qint64 deadPid = gone.processId();
        gone.waitForFinished();
        QLockFile ours(dest + kDestinationLockName);
        ASSERT_TRUE(ours.tryLock(0));
        QByteArray lock = ReadBytes(dest + kDestinationLockName);
        ours.unlock();
        lock = QByteArray::number(deadPid) + lock.mid(lock.indexOf('\n'));
        WriteBytes(dest + kDestinationLockName, lock);
    }

    const ProjectBuildResult result = BuildProject(ws);

    EXPECT_FALSE(result.destinationBusy);
    EXPECT_FALSE(result.destinationUnwritable);
    EXPECT_TRUE(env.ui.messages.empty() || env.ui.messages[0].title != u"Destination in use"_s);
    QStringList names;
    for (const auto& [path, bytes] : Tree(dest)) {
        names << path;
    }
    EXPECT_EQ(names.filter(u"tessarel"_s), (QStringList{u"user.tessarel-new"_s, u"user.tessarel-new/inside.txt"_s}));
    EXPECT_TRUE(ReadBytes(dest + u"a.c.htm"_s).contains("Alpha text."));
}

TEST_F(BuildSafety, aSecondBuildOfTheDestinationStopsAtOnceAndTouchesNothing) {
    addSource(env.path(u"proj/src/"_s), u"a.c"_s, kDocumented);
    ASSERT_FALSE(BuildProject(ws).destinationUnwritable);
    WriteBytes(env.path(u"proj/src/a.c"_s), kDocumented + "// function: beta\r\n// New.\r\n");
    env.ui.messages.clear();
    env.ui.log.clear();

    // Another build, in this process or any other of this machine, holds it.
    QLockFile other(dest + kDestinationLockName);
    ASSERT_TRUE(other.tryLock(0));
    const auto before = Tree(env.root.path());
    const ProjectBuildResult result = BuildProject(ws);

    EXPECT_TRUE(result.destinationBusy);
    EXPECT_FALSE(result.destinationUnwritable);
    EXPECT_EQ(result.chaptersProcessed, 0);
    EXPECT_EQ(Tree(env.root.path()), before);
    EXPECT_TRUE(env.ui.log.empty());
    ASSERT_EQ(env.ui.messages.size(), 1u);
    EXPECT_EQ(env.ui.messages[0].title, u"Destination in use"_s);
    EXPECT_TRUE(env.ui.messages[0].text.contains(dest)) << env.ui.messages[0].text.toStdString();
    EXPECT_TRUE(env.ui.messages[0].text.contains(u"process "_s + QString::number(QCoreApplication::applicationPid())));

    other.unlock();
    env.ui.messages.clear();
    EXPECT_FALSE(BuildProject(ws).destinationBusy);
    EXPECT_TRUE(ReadBytes(dest + u"a.c.htm"_s).contains("New."));
}

TEST_F(BuildSafety, aPageNeverReplacesASource) {
    // The destination is the source folder: "notes" would get the page
    // "notes.htm", which is another chapter, and "a.c.htm" is a chapter too;
    // "b.c.htm" is a link to the source "other.txt".
    const QString src = env.path(u"proj/src/"_s);
    ws.project.settings.RelDestPath = src;
    dest = src;
    addSource(src, u"notes"_s, kDocumented);
    addSource(src, u"notes.htm"_s, "<html>hand-written notes</html>");
    addSource(src, u"a.c"_s, kDocumented);
    addSource(src, u"a.c.htm"_s, "<html>hand-written page of a.c</html>");
    addSource(src, u"other.txt"_s, "no sections");
    addSource(src, u"b.c"_s, kDocumented);
    ASSERT_TRUE(QFile::link(src + u"other.txt"_s, src + u"b.c.htm"_s));
    const auto before = Tree(src);

    const ProjectBuildResult result = BuildProject(ws);

    // A hand-written page in the destination keeps its name; the chapter that
    // would take it is refused.
    EXPECT_EQ(logRows(),
              (QStringList{u"Page Name Taken|"_s + src + u"notes|FAIL"_s, u"Not Built: HTML File|notes.htm|ok"_s,
                           u"Page Name Taken|"_s + src + u"a.c|FAIL"_s, u"Not Built: HTML File|a.c.htm|ok"_s,
                           u"No Sections|other.txt|FAIL"_s, u"Not Built: Page Is A Source|b.c|FAIL"_s,
                           u"> HTML TOC||ok"_s, u"> HTML Index||ok"_s}));
    EXPECT_EQ(result.chaptersFailed, 4);
    const auto after = Tree(src);
    for (const auto& [path, bytes] : before) {
        EXPECT_EQ(after.at(path), bytes) << path.toStdString();
    }
}

TEST_F(BuildSafety, aBookFileThatIsASourceStopsTheBuildBeforeAnyWrite) {
    const QString src = env.path(u"proj/src/"_s);
    ws.project.settings.RelDestPath = src;
    addSource(src, u"a.c"_s, kDocumented);
    addSource(src, u"index.htm"_s, "<html>the user's home page</html>");
    const auto before = Tree(env.root.path());

    const ProjectBuildResult result = BuildProject(ws);

    EXPECT_TRUE(result.sourceKept);
    EXPECT_FALSE(result.destinationUnwritable);
    EXPECT_EQ(Tree(env.root.path()), before);
    EXPECT_EQ(logRows(), QStringList{u"Not Built: Page Is A Source|index.htm|FAIL"_s});
    ASSERT_EQ(env.ui.messages.size(), 1u);
    EXPECT_EQ(env.ui.messages[0].title, u"Source file kept"_s);
}

TEST_F(BuildSafety, theSearchIndexNeverReplacesASource) {
    const QString src = env.path(u"proj/src/"_s);
    ws.project.settings.RelDestPath = src;
    ws.project.settings.IncludeSearch = true;
    addSource(src, u"a.c"_s, kDocumented);
    addSource(src, u"_search_index.js"_s, "var mine = 1;");
    const auto before = Tree(env.root.path());

    EXPECT_TRUE(BuildProject(ws).sourceKept);
    EXPECT_EQ(Tree(env.root.path()), before);
    EXPECT_EQ(logRows(), QStringList{u"Not Built: Page Is A Source|_search_index.js|FAIL"_s});
}

// Opening a source whose page name is a link to the source itself.
TEST_F(BuildSafety, aSingleFilePageNeverReplacesItsSource) {
    const QString source = env.path(u"single/x.c"_s);
    WriteBytes(source, kDocumented);
    ASSERT_TRUE(QFile::link(source, source + u".htm"_s));
    Settings settings;
    const PageStyle embedded{u"test"_s, QString(), true};
    const SingleFileResult result = BuildSingleFile(*env.env, {ws.document, ws.page}, {source, settings, embedded, {}});

    EXPECT_EQ(ReadBytes(source), kDocumented);
    EXPECT_TRUE(QFileInfo(source + u".htm"_s).isSymLink());
    EXPECT_FALSE(result.success());
    EXPECT_EQ(result.row.reason, u"Not Built: Page Is A Source"_s);
    EXPECT_EQ(result.row.output, QString());
    ASSERT_EQ(env.ui.messages.size(), 1u);
    EXPECT_EQ(env.ui.messages[0].title, u"Source file kept"_s);
    EXPECT_TRUE(result.pageToShow.isEmpty());
}

TEST_F(BuildSafety, anEmbeddedStyleDeletesOnlyTheSheetTessarelWrote) {
    addSource(env.path(u"proj/src/"_s), u"a.c"_s, kDocumented);
    ASSERT_FALSE(BuildProject(ws).destinationUnwritable);
    ASSERT_TRUE(QFileInfo::exists(dest + u"test.css"_s));
    ws.project.settings.EmbedStyle = true;
    BuildProject(ws);
    EXPECT_FALSE(QFileInfo::exists(dest + u"test.css"_s));

    // The user's own sheet of that name, and a link of that name, stay.
    WriteBytes(dest + u"test.css"_s, "body { color: red; }\r\n");
    BuildProject(ws);
    EXPECT_EQ(ReadBytes(dest + u"test.css"_s), QByteArray("body { color: red; }\r\n"));
    WriteBytes(outside + u"ours.css"_s, "body { color: black; }\r\n");
    QFile::remove(dest + u"test.css"_s);
    ASSERT_TRUE(QFile::link(outside + u"ours.css"_s, dest + u"test.css"_s));
    BuildProject(ws);
    EXPECT_TRUE(QFileInfo(dest + u"test.css"_s).isSymLink());
    EXPECT_EQ(ReadBytes(outside + u"ours.css"_s), QByteArray("body { color: black; }\r\n"));
}

// A book built by an earlier version holds a sheet as it shipped then: that
// is Tessarel's as well, and goes when the style is embedded.
TEST_F(BuildSafety, anEmbeddedStyleAlsoDeletesASheetAsAnEarlierVersionWroteIt) {
    addSource(env.path(u"proj/src/"_s), u"a.c"_s, kDocumented);
    ws.project.settings.EmbedStyle = true;
    // The sheets before their figures had a light backing.
    static const QRegularExpression kFigureNote(u" */\\* Figures are mostly drawn[^*]*\\*/\r\n"_s);
    const std::tuple<QString, QString, QString> formers[] = {{u"dark_slate"_s, u"#f4f6f9"_s, u"#1b2230"_s},
                                                             {u"auto_light_dark"_s, u"#f2f4f5"_s, u"#17191c"_s}};
    for (const auto& [name, backing, former] : formers) {
        QString text = GetStyleText(env.env->paths, name);
        ASSERT_EQ(text.count(backing), 1) << name.toStdString();
        text.remove(kFigureNote);
        text.replace(backing, former);
        const QString sheet = dest + name + u".css"_s;
        WriteBytes(sheet, EncodeText(text + u"\r\n"_s, FileEncoding::Latin1WithReferences));
        ws.project.settings.Style = name;
        BuildProject(ws);
        EXPECT_FALSE(QFileInfo::exists(sheet)) << name.toStdString();
    }
}

TEST(StyleNames, onlyPlainNamesNameASheet) {
    for (const QString& name : {u"standard_babyblue"_s, u"test"_s, u"my style"_s, u"print.v2"_s, u" padded "_s}) {
        EXPECT_EQ(UsableStyleName(name), name);
    }
    for (const QString& name : {u""_s, u"   "_s, u"../../x"_s, u".."_s, u"a..b"_s, u"a/b"_s, u"a\\b"_s, u"a/b\\c"_s,
                                u"x\" onload=\"y"_s, u"c:sheet"_s, u"a\nb"_s, u"a*b"_s, u"a|b"_s, u"<b>"_s}) {
        EXPECT_EQ(UsableStyleName(name), kFallbackStyleName) << name.toStdString();
    }
}

// A name that is not plain is a missing style: the fallback sheet, under its
// own name, read from the styles folder only.
TEST_F(BuildSafety, aStyleNameThatIsNotPlainFallsBackToTheMinimalSheet) {
    addSource(env.path(u"proj/src/"_s), u"a.c"_s, kDocumented);
    ASSERT_TRUE(QFileInfo::exists(env.programFolder() + u"styles/minimal.css"_s));
    WriteBytes(env.programFolder() + u"escaped.css"_s, "an outside sheet");
    for (const QString& name : {u"a/b\\c"_s, u"../escaped"_s}) {
        QDir(dest).removeRecursively();
        ws.project.settings.Style = name;
        ASSERT_FALSE(BuildProject(ws).destinationUnwritable) << name.toStdString();
        EXPECT_TRUE(read(u"a.c.htm"_s).contains(u"href=\"minimal.css\""_s)) << name.toStdString();
        EXPECT_TRUE(read(u"_dindex.htm"_s).contains(u"href=\"minimal.css\""_s));
        EXPECT_FALSE(read(u"a.c.htm"_s).contains(name));
        EXPECT_FALSE(ReadBytes(dest + u"minimal.css"_s).contains("outside"));
        EXPECT_EQ(ReadBytes(dest + u"minimal.css"_s),
                  EncodeText(GetStyleText(env.env->paths, kFallbackStyleName) + u"\r\n"_s,
                             FileEncoding::Latin1WithReferences));
        QStringList names = QDir(dest).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        EXPECT_EQ(names.filter(u".css"_s), QStringList{u"minimal.css"_s});
    }
}

// With the destination the project folder, the user's own files have book
// names. The console keeps them with a failed row each; the window asks, and
// what the user agreed to replace is then Tessarel's.
TEST_F(BuildSafety, aFileTessarelDidNotWriteIsKeptUnlessTheUserAgrees) {
    ws.project.settings.IncludeSearch = true;
    ws.project.settings.RelDestPath = QString();
    dest = env.path(u"proj/"_s);
    addSource(dest, u"a.c"_s, kDocumented);
    addSource(dest, u"b.c"_s, kDocumented);
    const std::pair<QString, QByteArray> theirs[] = {
        {u"index.htm"_s, "<html>my own home page</html>"},
        {u"_search_index.js"_s, "var mine = 1;\r\n"},
        {u"test.css"_s, "body { color: red; }\r\n"},
        {u"b.c.htm"_s, "<html>my notes on b</html>"},
    };
    for (const auto& [name, bytes] : theirs) {
        WriteBytes(dest + name, bytes);
    }
    // A page an earlier build wrote, known by its generator line.
    WriteBytes(dest + u"_book.htm"_s, "\r\n" + kPageGeneratorLine.toLatin1() + "\r\nold contents\r\n");
    EXPECT_EQ(FilesABuildWouldReplace(ws),
              (QStringList{u"index.htm"_s, u"_search_index.js"_s, u"test.css"_s, u"b.c.htm"_s}));

    const ProjectBuildResult kept = BuildProject(ws);

    const QString reason = ForeignFileReason();
    EXPECT_EQ(logRows(),
              (QStringList{reason + u"|index.htm|FAIL"_s, reason + u"|_search_index.js|FAIL"_s,
                           reason + u"|test.css|FAIL"_s, u"Built OK|a.c|ok"_s, reason + u"|"_s + dest + u"b.c|FAIL"_s,
                           u"> HTML TOC||ok"_s, u"> HTML Index||ok"_s, u"> HTML Search||ok"_s}));
    EXPECT_EQ(kept.filesKept, 3);
    EXPECT_EQ(kept.chaptersFailed, 1);
    EXPECT_TRUE(kept.indexPage.isEmpty());
    for (const auto& [name, bytes] : theirs) {
        EXPECT_EQ(ReadBytes(dest + name), bytes) << name.toStdString();
    }
    EXPECT_TRUE(read(u"_book.htm"_s).contains(u"a.c.htm"_s));
    EXPECT_FALSE(read(u"_book.htm"_s).contains(u"b.c.htm"_s));
    EXPECT_TRUE(read(u"a.c.htm"_s).contains(u"Alpha text."_s));
    ASSERT_EQ(env.ui.messages.size(), 1u);
    EXPECT_EQ(env.ui.messages[0].title, u"Files kept"_s);
    EXPECT_TRUE(env.ui.messages[0].text.contains(u"index.htm\r\n_search_index.js\r\ntest.css\r\nb.c.htm"_s));

    env.ui.log.clear();
    env.ui.messages.clear();
    const ProjectBuildResult agreed = BuildProject(ws, {.replace = FilesABuildWouldReplace(ws)});
    EXPECT_EQ(agreed.filesKept, 0);
    EXPECT_EQ(agreed.chaptersFailed, 0);
    EXPECT_TRUE(env.ui.messages.empty());
    EXPECT_TRUE(read(u"index.htm"_s).contains(u"_book.htm"_s));
    EXPECT_TRUE(read(u"b.c.htm"_s).contains(u"Alpha text."_s));
    EXPECT_EQ(read(u"test.css"_s), u"body { color: black; }\r\n"_s);
    // What it wrote is its own until the user writes there again.
    EXPECT_EQ(FilesABuildWouldReplace(ws), QStringList());
    WriteBytes(dest + u"index.htm"_s, "<html>mine again</html>");
    EXPECT_EQ(FilesABuildWouldReplace(ws), QStringList{u"index.htm"_s});
}

// What proves a file Tessarel's by its contents alone, when no record knows it.
TEST_F(BuildSafety, onlyTessarelsOwnFilesAreKnownByTheirContents) {
    const QByteArray page = "\r\n" + kPageGeneratorLine.toLatin1() + "\r\n\r\n<html>\r\n";
    const std::pair<const char*, QByteArray> ours[] = {
        {"a.c.htm", page},
        {"lf.html", "\n" + kPageGeneratorLine.toLatin1() + "\n<html>\n"},
        {"index.htm", kLoaderGeneratorLine.toLatin1() + "\r\n<html>\r\n"},
        {"genesisn.htm", kFramesetGeneratorLine.toLatin1() + "\r\n<html>\r\n"},
        {"contents.hhc", "<HTML>\r\n<HEAD>\r\n" + kSiteMapGeneratorLine.toLatin1() + "\r\n"},
        {"help.hhp", kHelpProjectFirstLines.toLatin1() + "Compiled file =Docs.chm\r\n"},
        {"_search_index.js", kSearchIndexFirstLine.toLatin1() + "\r\n\"snippets\": [\"\"],\r\n"},
        {"test.css", "body { color: black; }\r\n"},
        {"old.css",
         EncodeText(GetStyleText(env.env->paths, kFallbackStyleName) + u"\r\n"_s, FileEncoding::Latin1WithReferences)},
    };
    const std::pair<const char*, QByteArray> theirs[] = {
        {"mine.htm", "<html>my home page</html>"},
        {"quoted.htm", "<p>" + kPageGeneratorLine.toLatin1() + "</p>\r\n"},
        {"late.htm", "<html>\r\n<head>\r\n<title>\r\nx\r\n</title>\r\n" + kPageGeneratorLine.toLatin1() + "\r\n"},
        {"edited.css", "body { color: black; }\r\n\r\n"},
        {"near.css", "/* Tessarel style sheet */\r\n"},
        {"mine.js", "var mine = 1;\r\n"},
        {"page.txt", page},
        {"Docs.chm", page},
        {"empty.htm", ""},
    };
    const QString folder = env.path(u"files/"_s);
    for (const auto& [name, bytes] : ours) {
        WriteBytes(folder + QLatin1String(name), bytes);
        EXPECT_TRUE(IsTessarelFile(env.env->paths, folder + QLatin1String(name))) << name;
    }
    for (const auto& [name, bytes] : theirs) {
        WriteBytes(folder + QLatin1String(name), bytes);
        EXPECT_FALSE(IsTessarelFile(env.env->paths, folder + QLatin1String(name))) << name;
    }
    // A sheet an earlier version wrote, of every style the program ships. A
    // modern sheet reaches a book only as _book.css, never under its own name.
    for (const QString& sheet : QDir(env.programFolder() + u"styles"_s).entryList({u"*.css"_s}, QDir::Files)) {
        if (sheet != u"test.css"_s && !sheet.endsWith(u".modern.css"_s)) {
            WriteBytes(folder + sheet, ReadBytes(env.programFolder() + u"styles/"_s + sheet) + "\r\n.Old { }\r\n");
            EXPECT_TRUE(IsTessarelFile(env.env->paths, folder + sheet)) << sheet.toStdString();
        }
    }
    // A page is told by its lines whatever its name: a single file's page beside its source is judged so.
    EXPECT_TRUE(IsTessarelPage(folder + u"page.txt"_s));
    // Never through a link, never waiting on a pipe, never a folder.
    ASSERT_TRUE(QFile::link(folder + u"a.c.htm"_s, folder + u"link.htm"_s));
    ASSERT_TRUE(MakeFifo(folder + u"pipe.htm"_s));
    QDir().mkpath(folder + u"folder.htm"_s);
    for (const QString& name : {u"link.htm"_s, u"pipe.htm"_s, u"folder.htm"_s}) {
        EXPECT_FALSE(IsTessarelFile(env.env->paths, folder + name)) << name.toStdString();
        EXPECT_FALSE(IsTessarelPage(folder + name)) << name.toStdString();
    }
}

// Turning settings off, changing the style and dropping chapters leaves files
// the new book does not use: those Tessarel wrote go. Without a record, only
// the book's own names proved Tessarel's by their contents do.
TEST_F(BuildSafety, filesTheBookNoLongerUsesAreRemovedWhenTessarelWroteThem) {
    for (const bool recordKept : {true, false}) {
        SCOPED_TRACE(recordKept ? "record kept" : "record lost");
        QDir(env.path(u"proj"_s)).removeRecursively();
        QDir(dest).removeRecursively();
        ws.project.Chapters.clear();
        Settings& settings = ws.project.settings;
        settings.Style = u"test"_s;
        settings.Collapsible = settings.IncludeSearch = settings.GenerateHtmlHelpFiles = true;
        WriteScript(env.path(u"compiler/"_s) + HtmlHelpCompilerName(), u"#!/bin/sh\necho compiled > Docs.chm\n"_s);
        env.preferences->WritePreference(prefs::kProject, prefs::kCompilerPath, env.path(u"compiler"_s));
        const QString src = env.path(u"proj/src/"_s);
        addSource(src, u"a.c"_s, kDocumented);
        addSource(src, u"b.c"_s, kDocumented);
        addSource(src, u"c.c"_s, kDocumented);
        addSource(src, u"x.htm"_s, "<html>the author's page</html>");
        ASSERT_FALSE(BuildProject(ws).destinationUnwritable);
        // The user writes over one page and puts a link in place of another.
        WriteBytes(dest + u"b.c.htm"_s, "<html>my notes on b</html>");
        WriteBytes(dest + u"notes.htm"_s, "<html>my notes</html>");
        // A sheet of a style's name that opens as Tessarel's is replaced, never removed.
        WriteBytes(dest + u"print_serif.css"_s, "/* Tessarel style: print_serif, as I like it */\r\n");
        WriteBytes(outside + u"frameset.htm"_s, kFramesetGeneratorLine.toLatin1() + "\r\n");
        QFile::remove(dest + u"genesisn.htm"_s);
        ASSERT_TRUE(QFile::link(outside + u"frameset.htm"_s, dest + u"genesisn.htm"_s));
        if (!recordKept) {
            QFile::remove(BuildRecordPath(env.env->paths.cacheFolder, ws.project.ProjectPath, dest));
        }
        settings.Collapsible = settings.IncludeSearch = settings.GenerateHtmlHelpFiles = false;
        settings.Style = kFallbackStyleName;
        ws.project.Chapters.resize(1);
        env.ui.log.clear();

        ASSERT_FALSE(BuildProject(ws).destinationUnwritable);

        QStringList names;
        for (const auto& [path, bytes] : Tree(dest)) {
            names << path;
        }
        QStringList expected{u"HTML Help"_s,   u"_book.htm"_s, u"_dindex.htm"_s,     u"_sorted_index.htm"_s,
                             u"a.c.htm"_s,     u"b.c.htm"_s,   u"genesisn.htm"_s,    u"index.htm"_s,
                             u"minimal.css"_s, u"notes.htm"_s, u"print_serif.css"_s, u"x.htm"_s};
        // The compiled file and a dropped chapter's page only the record knows.
        if (!recordKept) {
            expected << u"HTML Help/Docs.chm"_s << u"c.c.htm"_s;
            expected.sort();
        }
        EXPECT_EQ(names, expected);
        EXPECT_EQ(ReadBytes(dest + u"b.c.htm"_s), QByteArray("<html>my notes on b</html>"));
        EXPECT_TRUE(QFileInfo(dest + u"genesisn.htm"_s).isSymLink());
        EXPECT_EQ(ReadBytes(outside + u"frameset.htm"_s), kFramesetGeneratorLine.toLatin1() + "\r\n");
        const QStringList removed = logRows().filter(u"> Old File Removed"_s);
        EXPECT_EQ(removed.size(), recordKept ? 13 : 11);
    }
}

}  // namespace
}  // namespace tessarel::testing
