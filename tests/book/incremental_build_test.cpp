#include "book/build_record.h"
#include "book/help_compiler_run.h"
#include "book/project_build.h"

#include "book_fixture.h"
#include "pages/page_paths.h"
#include "support/preferences.h"
#include "support/setting_table.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <functional>

namespace tessarel::testing {
namespace {

/// Builds one project two ways after every change: incrementally into out/,
/// and from scratch into full/, which the incremental book must equal.
class IncrementalBuild : public BookFixture {
protected:
    IncrementalBuild() : epoch_("SOURCE_DATE_EPOCH", qgetenv("SOURCE_DATE_EPOCH")) {
        // An untouched chapter keeps its build time: only a fixed time lets books be compared.
        qputenv("SOURCE_DATE_EPOCH", "1700000000");
        full = env.path(u"full/"_s);
    }
    ~IncrementalBuild() override {
        if (epoch_.second.isNull()) {
            qunsetenv(epoch_.first);
        } else {
            qputenv(epoch_.first, epoch_.second);
        }
    }

    /// A source with `sections` sections whose texts depend on `seed`.
    static QByteArray Source(int seed, int sections) {
        QByteArray text = "// file: Chapter " + QByteArray::number(seed) + "\r\n// Intro " +
                          QByteArray::number(seed * 7) + ".\r\n\r\n";
        for (int s = 1; s < sections; ++s) {
            text += "// function: f" + QByteArray::number(seed) + "_" + QByteArray::number(s) + "\r\n// Does " +
                    QByteArray::number(seed + s) + ".\r\nint f(void);\r\n\r\n";
        }
        return text;
    }

    QString sourcePath(const Chapter& chapter) const {
        return ws.project.ProjectFolder + chapter.RelPath.chopped(1) + u"/"_s + chapter.Name;
    }

    /// Writes a source with an old modification time, as an editor long ago
    /// left it: its stamp is then trusted by the next build.
    static void WriteOld(const QString& path, const QByteArray& bytes, qint64 secondsAgo) {
        WriteBytes(path, bytes);
        SetAge(path, secondsAgo);
    }
    static void SetAge(const QString& path, qint64 secondsAgo) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-secondsAgo), QFileDevice::FileModificationTime));
    }

    using Rows = std::vector<QString>;
    Rows rows(size_t from) const {
        Rows result;
        for (size_t i = from; i < env.ui.log.size(); ++i) {
            const auto& line = env.ui.log[i];
            result.push_back(line.reason + u"|"_s + line.item + u"|"_s +
                             QString::number(static_cast<int>(line.status)) + u"|"_s + line.title + u"|"_s +
                             line.output);
        }
        return result;
    }

    /// The incremental build, then the full one; the two books and their log
    /// rows must be the same. Returns the incremental build's result.
    ProjectBuildResult buildBoth(const std::string& step) {
        const size_t before = env.ui.log.size();
        ws.project.settings.RelDestPath = dest;
        const ProjectBuildResult incremental = BuildProject(ws);
        const Rows incrementalRows = rows(before);
        const size_t middle = env.ui.log.size();
        ws.project.settings.RelDestPath = full;
        const ProjectBuildResult whole = BuildProject(ws, {.rebuild = true});
        ws.project.settings.RelDestPath = dest;
        EXPECT_EQ(whole.chaptersReused, 0) << step;
        EXPECT_EQ(incrementalRows, rows(middle)) << step;
        EXPECT_TRUE(Tree(dest) == Tree(full)) << step << FirstDifference(Tree(dest), Tree(full));
        EXPECT_EQ(incremental.chaptersProcessed, whole.chaptersProcessed) << step;
        return incremental;
    }

    static std::string FirstDifference(const std::map<QString, QByteArray>& a, const std::map<QString, QByteArray>& b) {
        for (const auto& [name, bytes] : a) {
            const auto other = b.find(name);
            if (other == b.end()) {
                return " only in the incremental book: " + name.toStdString();
            }
            if (other->second != bytes) {
                return " differs: " + name.toStdString();
            }
        }
        return b.size() > a.size() ? " a file is missing from the incremental book" : "";
    }

    QString recordFile() const { return BuildRecordPath(env.env->paths.cacheFolder, ws.project.ProjectPath, dest); }

    /// The record as a build two seconds after the sources' last change leaves
    /// it: every source stamp trusted, so no source is hashed again.
    void trustRecord() {
        std::optional<BuildRecord> record = ReadBuildRecord(recordFile(), ws.project.ProjectPath, dest);
        ASSERT_TRUE(record);
        for (ChapterResult& chapter : record->chapters) {
            chapter.files->stampTrusted = true;
        }
        ASSERT_EQ(WriteBuildRecord(recordFile(), *record), RecordWrite::Written);
    }

    /// A project of `count` documented sources in two folders.
    void addSources(int count) {
        for (int i = 0; i < count; ++i) {
            const QString folder = i % 2 == 0 ? u"src"_s : u"lib"_s;
            addSource(folder, u"c%1.c"_s.arg(i), Source(i, 1 + i % 4));
            SetAge(sourcePath(ws.project.Chapters[static_cast<size_t>(i)]), 3600);
        }
    }

    QString full;

private:
    std::pair<const char*, QByteArray> epoch_;
};

// Edits, new and lost sources, reordered and removed chapters, changed
// settings and pages changed behind the build's back, in random order: every
// incremental book is the full build's, byte for byte and row for row.
TEST_F(IncrementalBuild, randomChangesGiveTheFullBuildsBook) {
    QRandomGenerator random(20261207);
    addSources(8);
    addSource(u"src"_s, u"notes.htm"_s, "<html>notes</html>");
    addSource(u"lib"_s, u"c0.c"_s, Source(99, 2));  // its page name is taken by src/c0.c
    // The search index takes a replayed chapter's line from the record.
    ws.project.settings.IncludeSearch = true;
    ASSERT_EQ(buildBoth("first").chaptersReused, 0);
    int reused = 0;
    int bookReused = 0;
    int next = 100;
    for (int round = 0; round < 40; ++round) {
        ProjectModel& project = ws.project;
        const int count = project.chapterCount();
        const int pick = static_cast<int>(random.bounded(count));
        Chapter& chapter = project.Chapters[static_cast<size_t>(pick)];
        const QString path = sourcePath(chapter);
        const int change = static_cast<int>(random.bounded(12));
        std::string step = "round " + std::to_string(round) + ", change " + std::to_string(change);
        switch (change) {
        case 0:  // new text, an old time the record has never seen
            WriteOld(path, Source(next, 1 + next % 5), 7200 + next);
            ++next;
            break;
        case 1: {  // one byte changed, same size, a fresh time: hashed now and next time
            QByteArray bytes = ReadBytes(path);
            if (!bytes.isEmpty()) {
                bytes[bytes.size() / 2] = bytes[bytes.size() / 2] == 'x' ? 'y' : 'x';
                WriteBytes(path, bytes);
            }
            break;
        }
        case 2:  // touched, not changed
            SetAge(path, 60 + round);
            break;
        case 3: {  // a new chapter somewhere
            addSource(u"src"_s, u"n%1.c"_s.arg(next), Source(next, 3));
            ++next;
            std::rotate(project.Chapters.begin() + pick, project.Chapters.begin() + count,
                        project.Chapters.begin() + count + 1);
            break;
        }
        case 4:  // a chapter leaves the project
            if (count > 2) {
                std::rotate(project.Chapters.begin() + pick, project.Chapters.begin() + pick + 1,
                            project.Chapters.begin() + count);
                project.Chapters.pop_back();
            }
            break;
        case 5:  // its source is lost, or comes back
            if (QFileInfo::exists(path)) {
                QFile::remove(path);
            } else {
                WriteOld(path, Source(next++, 2), 5000);
            }
            break;
        case 6:
            std::shuffle(project.Chapters.begin(), project.Chapters.begin() + count,
                         std::mt19937(static_cast<unsigned>(random.generate())));
            break;
        case 7: {
            Settings& s = project.settings;
            switch (random.bounded(7)) {
            case 6:
                s.IncludeSearch = !s.IncludeSearch;
                break;
            case 5:
                s.ModernLayout = !s.ModernLayout;
                break;
            case 0:
                s.Collapsible = !s.Collapsible;
                break;
            case 1:
                s.UseChapterTitleInIndex = !s.UseChapterTitleInIndex;
                break;
            case 2:
                s.IncludeLastGenerated = !s.IncludeLastGenerated;
                break;
            case 3:
                s.Copyright = u"(c) %1"_s.arg(next++);
                break;
            default:
                s.SortSections = !s.SortSections;
                break;
            }
            break;
        }
        case 8: {  // a page changed behind the build's back, its size kept
            QByteArray page = ReadBytes(dest + BookPageName(chapter.Name));
            if (!page.isEmpty()) {
                page[0] = page[0] == '<' ? '(' : '<';
                WriteBytes(dest + BookPageName(chapter.Name), page);
            }
            break;
        }
        case 9: {  // a file of the book removed behind the build's back
            const QStringList names = QDir(dest).entryList(QDir::Files, QDir::Name);
            if (!names.isEmpty()) {
                const QString name = names[static_cast<qsizetype>(random.bounded(names.size()))];
                step += " (" + name.toStdString() + ")";
                QFile::remove(dest + name);
            }
            break;
        }
        case 10: {  // a file of the book edited behind the build's back, its size kept
            QStringList names = QDir(dest).entryList(QDir::Files, QDir::Name);
            names.removeIf([](const QString& name) { return !name.startsWith(u'_') && !name.endsWith(u".hhc"_s); });
            if (!names.isEmpty()) {
                const QString name = names[static_cast<qsizetype>(random.bounded(names.size()))];
                step += " (" + name.toStdString() + ")";
                QByteArray bytes = ReadBytes(dest + name);
                bytes[bytes.size() / 2] = bytes[bytes.size() / 2] == 'x' ? 'y' : 'x';
                WriteBytes(dest + name, bytes);
            }
            break;
        }
        default:  // nothing changed
            step += " (none)";
            break;
        }
        const ProjectBuildResult result = buildBoth(step);
        reused += result.chaptersReused;
        bookReused += result.bookReused ? 1 : 0;
        if (change == 10) {
            EXPECT_FALSE(result.bookReused) << step;
        }
        if (change == 11 || change == 2) {
            // Every page built from a source, and still as written, is taken as it is.
            int expected = 0;
            for (size_t i = 0; i < result.found.size(); ++i) {
                expected += result.found[i].documented && !IsHtmlFileName(result.chapters[i].Name) ? 1 : 0;
            }
            EXPECT_GE(result.chaptersReused, expected) << step;
        }
        if (HasFailure()) {
            return;
        }
    }
    EXPECT_GT(reused, 0);
    EXPECT_GT(bookReused, 0);
}

// A rebuild with nothing changed replaces no file of the book: every file
// keeps its inode and times, in either layout, and the log is the full
// build's.
TEST_F(IncrementalBuild, nothingChangedWritesNoFile) {
    addSources(6);
    Settings& s = ws.project.settings;
    s.IncludeSearch = true;
    s.Collapsible = true;
    s.GenerateHtmlHelpFiles = true;
    const auto stamps = [this] {
        std::map<QString, std::array<qint64, 3>> result;
        QDirIterator it(dest, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            struct stat status {};
            if (::lstat(QFile::encodeName(path).constData(), &status) == 0) {
                result[path] = {static_cast<qint64>(status.st_ino),
                                static_cast<qint64>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec,
                                static_cast<qint64>(status.st_ctim.tv_sec) * 1'000'000'000 + status.st_ctim.tv_nsec};
            }
        }
        return result;
    };
    // The compiled help is kept, not compiled again as the full build's is.
    const auto withoutCompile = [](Rows rows) {
        std::erase_if(rows, [](const QString& row) { return row.startsWith(u"> Compiled Help"_s); });
        return rows;
    };
    for (const bool modern : {false, true}) {
        const char* layout = modern ? "modern" : "frames";
        s.ModernLayout = modern;
        // A fresh folder for each layout: the full build logs no files of the other.
        full = env.path(modern ? u"full-modern/"_s : u"full-frames/"_s);
        ws.project.settings.RelDestPath = full;
        size_t from = env.ui.log.size();
        BuildProject(ws, {.rebuild = true});
        const Rows fullRows = withoutCompile(rows(from));
        ws.project.settings.RelDestPath = dest;
        BuildProject(ws);
        trustRecord();
        const auto before = stamps();
        ASSERT_GT(before.size(), 6U);
        from = env.ui.log.size();
        const ProjectBuildResult again = BuildProject(ws);
        EXPECT_EQ(again.chaptersReused, 6) << layout;
        EXPECT_TRUE(again.bookReused) << layout;
        EXPECT_EQ(withoutCompile(rows(from)), fullRows) << layout;
        EXPECT_TRUE(stamps() == before) << layout;
        EXPECT_TRUE(Tree(dest) == Tree(full)) << layout << FirstDifference(Tree(dest), Tree(full));
        // A book file edited (its size kept) and one removed behind the build's back are made again.
        const QString edited = dest + u"HTML Help/index.hhk"_s;
        QByteArray bytes = ReadBytes(edited);
        ASSERT_FALSE(bytes.isEmpty()) << layout;
        bytes[bytes.size() / 2] = bytes[bytes.size() / 2] == 'x' ? 'y' : 'x';
        WriteBytes(edited, bytes);
        ASSERT_TRUE(QFile::remove(dest + u"_search_index.js"_s)) << layout;
        const ProjectBuildResult repaired = BuildProject(ws);
        EXPECT_EQ(repaired.chaptersReused, 6) << layout;
        EXPECT_FALSE(repaired.bookReused) << layout;
        EXPECT_TRUE(Tree(dest) == Tree(full)) << layout << FirstDifference(Tree(dest), Tree(full));
        // The same chapters in another order: the book is made again, around the
        // replayed chapters of the frames (a modern page links its neighbours).
        std::reverse(ws.project.Chapters.begin(), ws.project.Chapters.end());
        const ProjectBuildResult reordered = buildBoth(layout);
        EXPECT_EQ(reordered.chaptersReused, modern ? 0 : 6) << layout;
        EXPECT_FALSE(reordered.bookReused) << layout;
    }
}

// Every setting of the table, changed on its own, either changes the page
// inputs the record keeps, so that the next build makes every page again, or
// leaves every file of the book as it was; the digest holds exactly the
// settings the table says can shape a built file.
TEST_F(IncrementalBuild, everySettingChangesThePageInputsOrNoBuiltFile) {
    addSources(3);
    WriteBytes(env.programFolder() + u"styles/other.css"_s, "body { color: blue; }");
    // Every book file, the compiled help's too, from a compiler that only writes it.
    WriteScript(env.path(u"compiler/"_s) + HtmlHelpCompilerName(), u"#!/bin/sh\necho compiled > Docs.chm\n"_s);
    env.preferences->WritePreference(prefs::kProject, prefs::kCompilerPath, env.path(u"compiler"_s));
    ws.project.settings.Collapsible = ws.project.settings.IncludeSearch = true;
    ws.project.settings.GenerateHtmlHelpFiles = true;
    const ProjectModel base = ws.project;
    const auto build = [&] {
        const QString folder = ws.project.destinationFolder();
        QDir(folder).removeRecursively();
        BuildProject(ws, {.rebuild = true});
        const std::optional<BuildRecord> record =
            ReadBuildRecord(BuildRecordPath(env.env->paths.cacheFolder, ws.project.ProjectPath, folder),
                            ws.project.ProjectPath, folder);
        return std::pair{record ? record->pageInputs : QByteArray(), Tree(folder)};
    };
    const auto [digest, book] = build();
    ASSERT_FALSE(digest.isEmpty());
    for (const char* name : {"_bookcol.htm", "_search.htm", "HTML Help/help.hhp", "HTML Help/Docs.chm"}) {
        ASSERT_TRUE(book.contains(QString::fromLatin1(name))) << name;
    }

    for (const SettingRow& row : kSettingTable) {
        SCOPED_TRACE(QString::fromUtf16(row.element).toStdString());
        ws.project = base;
        Settings& s = ws.project.settings;
        // Another value a build can use: a style there is, a chapter of the book, another folder.
        std::visit(
            Overloaded{
                [&](bool Settings::*flag) { s.*flag = !(s.*flag); },
                [&](QString Settings::*text) {
                    s.*text = text == &Settings::Style         ? u"other"_s
                              : text == &Settings::HomeChapter ? s.*text + ws.project.Chapters[1].Name
                              : text == &Settings::RelDestPath ? env.path(u"elsewhere/"_s)
                                                               : s.*text + u"(c) x\r\ny"_s;
                },
                [&](ChapterOverview Settings::*overview) {
                    s.*overview = static_cast<ChapterOverview>((static_cast<int>(s.*overview) + 1) % 3);
                },
                [&](CommentLines lines) { SetCommentBits(s.comments, lines, CommentBits(s.comments, lines) ^ 4); },
            },
            row.field);
        ASSERT_FALSE(SameSetting(row, s, base.settings));
        const auto [changedDigest, changedBook] = build();
        ASSERT_FALSE(changedDigest.isEmpty());
        EXPECT_EQ(changedDigest != digest, row.shapesPages);
        if (changedDigest == digest) {
            EXPECT_TRUE(changedBook == book) << FirstDifference(changedBook, book);
        }
    }
}

// A source changed twice within one tick of its clock keeps its stamp: one
// read that soon after a change is hashed, whatever its stamp says.
TEST_F(IncrementalBuild, aSourceChangedRightAfterItsBuildIsHashedNotTrusted) {
    addSources(2);
    const QString path = sourcePath(ws.project.Chapters[0]);
    const QDateTime tick = QDateTime::currentDateTimeUtc().addMSecs(-300);
    const auto writeAt = [&](const QByteArray& bytes) {
        WriteBytes(path, bytes);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(tick, QFileDevice::FileModificationTime));
    };
    QByteArray bytes = Source(1, 3);
    writeAt(bytes);
    ASSERT_EQ(buildBoth("first").chaptersReused, 0);
    bytes.replace("Intro", "Outro");
    writeAt(bytes);
    const QByteArray stale = ReadBytes(dest + u"c0.c.htm"_s);
    EXPECT_EQ(buildBoth("same size, same time").chaptersReused, 1);
    EXPECT_NE(ReadBytes(dest + u"c0.c.htm"_s), stale);
    EXPECT_TRUE(QString::fromLatin1(ReadBytes(dest + u"c0.c.htm"_s)).contains(u"Outro"_s));
}

// A source's size and modification time can be given back (`touch -r`, or
// every file set to SOURCE_DATE_EPOCH), and another file of the same size and
// time can take its place; its inode and status-change time tell both apart,
// even where the record trusts its stamps.
TEST_F(IncrementalBuild, aSourceWhoseSizeAndTimeAreGivenBackIsBuiltAgain) {
    addSources(4);
    const auto sameSizeOtherBytes = [](const QString& path) {
        QByteArray bytes = ReadBytes(path);
        bytes.replace("Intro", "Outro");
        return bytes;
    };
    const auto setTime = [](const QString& path, const QDateTime& time) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    };
    const std::pair<const char*, std::function<void(const QString&, const QDateTime&)>> changes[] = {
        {"edited, its time given back",
         [&](const QString& path, const QDateTime& time) {
             WriteBytes(path, sameSizeOtherBytes(path));
             setTime(path, time);
         }},
        {"a link to another file of its size and time",
         [&](const QString& path, const QDateTime& time) {
             const QString other = env.path(u"elsewhere/"_s + QFileInfo(path).fileName());
             WriteBytes(other, sameSizeOtherBytes(path));
             setTime(other, time);
             ASSERT_TRUE(QFile::remove(path));
             ASSERT_TRUE(QFile::link(other, path));
         }},
    };
    int chapter = 0;
    for (const auto& [what, change] : changes) {
        buildBoth(std::string("before: ") + what);
        trustRecord();
        const QString path = sourcePath(ws.project.Chapters[static_cast<size_t>(++chapter)]);
        const QFileInfo built(path);
        change(path, built.lastModified());
        const QFileInfo changed(path);
        ASSERT_EQ(changed.size(), built.size());
        ASSERT_EQ(changed.lastModified(), built.lastModified());
        // Trusted stamps are at least two seconds old, so any change moves the
        // status-change time on; here the system's clock may not have ticked yet.
        while (QFileInfo(path).metadataChangeTime() == built.metadataChangeTime()) {
            QFile::setPermissions(path, QFile::permissions(path));
        }
        EXPECT_EQ(buildBoth(what).chaptersReused, 3) << what;
        EXPECT_TRUE(read(BookPageName(ws.project.Chapters[static_cast<size_t>(chapter)].Name)).contains(u"Outro"_s))
            << what;
    }
}

// A record over the limit could not be read back: it is not kept, the build
// says so once, and the next build is a full one. At the limit it is kept.
TEST_F(IncrementalBuild, aRecordOverTheLimitIsNotKeptAndTheBuildSaysSoOnce) {
    addSources(6);
    ws.project.settings.RelDestPath = dest;
    ASSERT_EQ(BuildProject(ws).chaptersReused, 0);
    const qint64 size = QFileInfo(recordFile()).size();
    const auto tooLarge = [this](size_t from) {
        int rows = 0;
        for (size_t i = from; i < env.ui.log.size(); ++i) {
            const auto& row = env.ui.log[i];
            if (row.reason == u"> Build Record Too Large"_s) {
                EXPECT_EQ(row.status, RowStatus::Warning);
                ++rows;
            }
        }
        return rows;
    };

    size_t from = env.ui.log.size();
    EXPECT_EQ(BuildProject(ws, {.rebuild = true, .recordLimit = size}).chaptersReused, 0);
    EXPECT_EQ(BuildProject(ws, {.recordLimit = size}).chaptersReused, 6);
    EXPECT_EQ(tooLarge(from), 0);

    from = env.ui.log.size();
    const qsizetype texts = env.ui.logText.size();
    EXPECT_EQ(BuildProject(ws, {.rebuild = true, .recordLimit = size - 1}).chaptersReused, 0);
    EXPECT_EQ(tooLarge(from), 1);
    EXPECT_EQ(env.ui.logText.mid(texts),
              QStringList{u"The record of this build would be larger than %1 bytes, the most Tessarel reads back, "
                          u"so it was not kept: the next build builds every chapter again."_s.arg(size - 1)});
    EXPECT_FALSE(QFile::exists(recordFile()));

    from = env.ui.log.size();
    EXPECT_EQ(BuildProject(ws).chaptersReused, 0);
    EXPECT_EQ(BuildProject(ws).chaptersReused, 6);
    EXPECT_EQ(tooLarge(from), 0);
}

// A record that cannot be trusted is never used: the build is a full one, and
// writes a record the next build can use.
TEST_F(IncrementalBuild, aCorruptStaleOrForeignRecordMeansAFullBuild) {
    addSources(6);
    ASSERT_EQ(buildBoth("first").chaptersReused, 0);
    ASSERT_EQ(buildBoth("unchanged").chaptersReused, 6);
    const QByteArray good = ReadBytes(recordFile());
    ASSERT_FALSE(good.isEmpty());
    // An unchanged book keeps its record file as it is.
    ASSERT_EQ(buildBoth("unchanged again").chaptersReused, 6);
    EXPECT_EQ(ReadBytes(recordFile()), good);

    // Another project's record, put in this one's place.
    const QString otherProject = ws.project.ProjectPath;
    ws.project.ProjectPath = env.path(u"proj/Other.qdx"_s);
    ws.project.ProjectFileName = u"Other.qdx"_s;
    ASSERT_EQ(buildBoth("other project").chaptersReused, 0);
    const QByteArray foreign = ReadBytes(recordFile());
    ws.project.ProjectPath = otherProject;
    ws.project.ProjectFileName = u"Docs.qdx"_s;

    QByteArray otherFormat = good;
    otherFormat[good.indexOf('\n') + 1] = 2;  // the format version, with its checksum made anew
    otherFormat.chop(8);
    otherFormat += BuildRecordChecksum(otherFormat);
    // The format before, which ended in a SHA-1 digest.
    QByteArray previousFormat = good;
    previousFormat[good.indexOf('\n') + 1] = 5;
    previousFormat.chop(8);
    previousFormat += QCryptographicHash::hash(previousFormat, QCryptographicHash::Sha1);
    QByteArray flipped = good;
    flipped[good.size() / 2] = static_cast<char>(flipped[good.size() / 2] ^ 0x20);

    const std::vector<std::pair<std::string, QByteArray>> records = {
        {"foreign", foreign},
        {"another format", otherFormat},
        {"the format before", previousFormat},
        {"one bit flipped", flipped},
        {"cut short", good.left(good.size() - 7)},
        {"empty", QByteArray()},
        {"no record at all", QByteArray("-")},
    };
    int seed = 200;
    for (const auto& [name, bytes] : records) {
        if (bytes == "-") {
            QFile::remove(recordFile());
        } else {
            WriteBytes(recordFile(), bytes);
        }
        // A change the bad record could hide if it were believed.
        const QString first = sourcePath(ws.project.Chapters[0]);
        WriteOld(first, Source(seed++, 3), 4000);
        EXPECT_EQ(buildBoth(name).chaptersReused, 0) << name;
        EXPECT_EQ(buildBoth(name + ", then").chaptersReused, 6) << name;
    }
    // Other settings make other pages: the record is stale.
    ws.project.settings.BoldTitles = !ws.project.settings.BoldTitles;
    EXPECT_EQ(buildBoth("settings").chaptersReused, 0);
    // Asked to, a build takes nothing from the record.
    ws.project.settings.RelDestPath = dest;
    EXPECT_EQ(BuildProject(ws, {.rebuild = true}).chaptersReused, 0);
    EXPECT_EQ(BuildProject(ws).chaptersReused, 6);
}

TEST_F(IncrementalBuild, aRecordReadsBackAsWrittenAndNothingElseReadsAsOne) {
    BuildRecord record;
    record.projectPath = u"/p/Docs.qdx"_s;
    record.destination = u"/p/out/"_s;
    record.pageInputs = "inputs";
    ChapterResult chapter;
    chapter.sections = 3;
    chapter.documented = true;
    chapter.title = u"Caf\u00e9 <b>"_s;
    // Kept as they are, even a lone surrogate of a UTF-16 source.
    chapter.sectionNames = {u"two"_s, u"\u4e09 "_s + QChar(0xd800)};
    chapter.snippets = {QString(), u"first words"_s, u"\u00fcber \U0001F600"_s};
    ChapterNote row;
    row.reason = u"Built OK"_s;
    row.item = u"a.c"_s;
    row.status = RowStatus::Ok;
    row.output = u"a.c.htm"_s;
    chapter.notes.push_back(row);
    chapter.search = MakeSearchChapter(chapter.title, u"a.c.htm"_s, chapter.sectionNames);
    chapter.files = ChapterFiles{u"/p/a.c"_s, {12, 345, 346, 7, 8}, true, "digest", u"a.c.htm"_s, {67, 890, 891, 7, 9}};
    record.chapters.insert(u"/p/a.c"_s, chapter);
    record.helpInputs = "help";
    record.compiledStamp = {1, 2, 3, 4, 5};
    record.compileOutput = "Warning: a topic is missing\n";
    record.bookFiles.insert(u"a.c.htm"_s, {{67, 890, 891, 7, 9}, false});
    record.bookFiles.insert(u"intro.htm"_s, {{5, 6, 7, 8, 9}, true});
    record.bookFiles.insert(HelpFolderFileName(u"index.hhk"_s), {});
    record.book.inputs = "book";
    record.book.homePage = u"a.c.htm"_s;
    record.book.helpPages = 1;
    record.book.helpPageBytes = 67;
    record.book.files = {{u"_book.htm"_s, {10, 11, 12, 7, 13}}, {HelpFolderFileName(u"index.hhk"_s), {}}};
    ChapterNote bookRow;
    bookRow.reason = u"> HTML TOC"_s;
    bookRow.status = RowStatus::Ok;
    bookRow.output = u"_book.htm"_s;
    ChapterNote bookText;
    bookText.kind = ChapterNote::Kind::LogText;
    bookText.text = u"said é"_s;
    record.book.notes = {bookRow, bookText};
    const QString path = env.path(u"cache/x/record"_s);
    ASSERT_EQ(WriteBuildRecord(path, record), RecordWrite::Written);
    // A chapter read back keeps its lists as the record's bytes until it is
    // listed, and unread they are written back as they were.
    std::optional<BuildRecord> read = ReadBuildRecord(path, record.projectPath, record.destination);
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->chapters[u"/p/a.c"_s].sectionNames.isEmpty());
    const QString again = env.path(u"cache/x/again"_s);
    ASSERT_EQ(WriteBuildRecord(again, *read), RecordWrite::Written);
    EXPECT_EQ(ReadBytes(again), ReadBytes(path));
    const auto readBack = [&](qint64 limit) {
        std::optional<BuildRecord> back = ReadBuildRecord(path, record.projectPath, record.destination, limit);
        if (back) {
            for (ChapterResult& kept : back->chapters) {
                ReadRecordedLists(kept);
            }
        }
        return back;
    };
    EXPECT_EQ(readBack(kMaxBuildRecordBytes), record);
    EXPECT_EQ(ReadBuildRecord(path, record.projectPath, u"/p/elsewhere/"_s), std::nullopt);
    EXPECT_EQ(ReadBuildRecord(path, u"/q/Docs.qdx"_s, record.destination), std::nullopt);

    // What is written within the limit reads back within it; one byte more is
    // not written, and the record it would have replaced is gone.
    const qint64 size = QFileInfo(path).size();
    ASSERT_EQ(WriteBuildRecord(path, record, size), RecordWrite::Written);
    EXPECT_EQ(readBack(size), record);
    EXPECT_EQ(ReadBuildRecord(path, record.projectPath, record.destination, size - 1), std::nullopt);
    EXPECT_EQ(WriteBuildRecord(path, record, size - 1), RecordWrite::TooLarge);
    EXPECT_FALSE(QFile::exists(path));

    // A count no record of that size could hold is not believed, nor reserved for:
    // here the snippets', which follow the last section name (UTF-16, little-endian).
    ASSERT_EQ(WriteBuildRecord(path, record), RecordWrite::Written);
    QByteArray bytes = ReadBytes(path);
    const QByteArray lastName("\x09\x4e\x20\x00\x00\xd8", 6);
    ASSERT_EQ(bytes.count(lastName), 1);
    bytes.replace(bytes.indexOf(lastName) + lastName.size(), 4, "\xff\xff\xff\xf0");
    bytes.chop(8);
    WriteBytes(path, bytes + BuildRecordChecksum(bytes));
    EXPECT_EQ(ReadBuildRecord(path, record.projectPath, record.destination), std::nullopt);

    // A section count the names do not match would list what the page lacks.
    record.chapters[u"/p/a.c"_s].sections = 4;
    ASSERT_EQ(WriteBuildRecord(path, record), RecordWrite::Written);
    EXPECT_EQ(ReadBuildRecord(path, record.projectPath, record.destination), std::nullopt);
    // So would a search line whose snippets' places and sections disagree.
    record.chapters[u"/p/a.c"_s].sections = 3;
    record.chapters[u"/p/a.c"_s].search.snippetSections.pop_back();
    ASSERT_EQ(WriteBuildRecord(path, record), RecordWrite::Written);
    EXPECT_EQ(ReadBuildRecord(path, record.projectPath, record.destination), std::nullopt);

    // The file is named by project and destination, and never by either alone.
    const QString a = BuildRecordPath(u"/c/"_s, u"/p/a"_s, u"/d/"_s);
    EXPECT_TRUE(a.startsWith(u"/c/builds/"_s));
    EXPECT_NE(a, BuildRecordPath(u"/c/"_s, u"/p/a"_s, u"/e/"_s));
    EXPECT_NE(a, BuildRecordPath(u"/c/"_s, u"/p/b"_s, u"/d/"_s));
    EXPECT_NE(BuildRecordPath(u"/c/"_s, u"/p/a"_s, u"b/d/"_s), BuildRecordPath(u"/c/"_s, u"/p/ab"_s, u"/d/"_s));
}

// A cancelled build lists the chapters it reached, records them, and the next
// build takes them and builds only the rest.
TEST_F(IncrementalBuild, aCancelledBuildLeavesABookAndARecordTheNextBuildFinishes) {
    addSources(10);
    ASSERT_EQ(buildBoth("first").chaptersReused, 0);
    // On one thread the build stops before the second chapter; on workers it
    // also finishes the chapters already handed out, at most two per worker
    // ahead of the one shown, so however fast they are, some are never built.
    for (const int workers : {1, 3}) {
        ws.buildWorkers = workers;
        const std::string step = std::to_string(workers) + " workers";
        // Every chapter changes.
        for (int i = 0; i < 10; ++i) {
            WriteOld(sourcePath(ws.project.Chapters[static_cast<size_t>(i)]), Source(300 + 10 * workers + i, 2 + i % 3),
                     900 + workers);
        }
        env.ui.onCaption = [this](const QString& caption) {
            if (caption.contains(u"( 2 / "_s)) {
                env.ui.cancel = true;
            }
        };
        const ProjectBuildResult cancelled = BuildProject(ws);
        env.ui.onCaption = nullptr;
        ASSERT_TRUE(cancelled.cancelled) << step;
        const int done = cancelled.chaptersProcessed;
        EXPECT_GE(done, 1) << step;
        EXPECT_LE(done, 1 + 2 * workers) << step;
        EXPECT_TRUE(workers > 1 || done == 1);
        // The book lists what it built, and the record holds it.
        const QString contents = read(u"_dindex.htm"_s);
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(contents.contains(u"\"c%1.c.htm"_s.arg(i)), i < done) << step << ", chapter " << i;
        }
        const ProjectBuildResult resumed = buildBoth("after the cancel, " + step);
        EXPECT_EQ(resumed.chaptersReused, done) << step;
        EXPECT_FALSE(resumed.cancelled);
    }
    // Stopped while every chapter so far was replayed: it lists the one it reached.
    ws.buildWorkers = 1;
    env.ui.onCaption = [this](const QString& caption) {
        if (caption.contains(u"( 2 / "_s)) {
            env.ui.cancel = true;
        }
    };
    const ProjectBuildResult stopped = BuildProject(ws);
    env.ui.onCaption = nullptr;
    ASSERT_TRUE(stopped.cancelled);
    EXPECT_EQ(stopped.chaptersReused, 1);
    EXPECT_FALSE(stopped.bookReused);
    const QString contents = read(u"_dindex.htm"_s);
    EXPECT_TRUE(contents.contains(u"\"c0.c.htm"_s));
    EXPECT_FALSE(contents.contains(u"\"c1.c.htm"_s));
}

}  // namespace
}  // namespace tessarel::testing
