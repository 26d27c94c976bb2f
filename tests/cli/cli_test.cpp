// Runs the built tessarel-cli on small inputs in a temporary folder, with its
// own preference and data folders, and checks what a script would rely on:
// exit statuses, log lines, where pages land, reproducible pages, and what a
// build stopped from outside leaves behind.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "pages/page_frame.h"
#include "support/preferences.h"
#include "support/special_files.h"
#include "support/testing.h"

using namespace Qt::Literals::StringLiterals;

namespace tessarel {
namespace {

using testing::Crlf;
using testing::ReadBytes;
using testing::WriteBytes;

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

const QString kDocumented =
    Crlf(QStringLiteral("/*\n * module: Counter\n * Counts things.\n */\n\n"
                        "/*\n * function: count_up\n * Adds one to the count.\n */\nint count_up(int count)\n{\n    "
                        "return count + 1;\n}\n"));

class CliTest : public ::testing::Test {
protected:
    QString path(const QString& relative) const { return root.path() + QLatin1Char('/') + relative; }
    void write(const QString& relative, const QString& text) { WriteBytes(path(relative), text.toUtf8()); }

    /// The user's preference store as the program sees it.
    void setPreference(const QString& section, const QString& key, const QString& value) {
        Preferences(path(u"config/Tessarel/Tessarel.conf"_s)).WritePreference(section, key, value);
    }

    /// Where the program's output goes.
    enum class Output {
        Read,     ///< to the test, which reads it as it comes
        OnePage,  ///< through a pipe of one page: the program cannot print, and so cannot build, more than a
                  ///< few dozen chapters past what the test has read
        Closed    ///< stdout and stderr into a pipe whose reader is gone, as with `| head -1`
    };

    /// Starts the program, through `shell` when one is given.
    void start(QProcess& process, const QStringList& arguments, const QStringList& shell = {},
               Output output = Output::Read) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_CONFIG_HOME"_s, path(u"config"_s));
        env.insert(u"XDG_DATA_HOME"_s, path(u"data"_s));
        env.insert(u"XDG_CACHE_HOME"_s, path(u"cache"_s));
        env.insert(u"HOME"_s, path(u"home"_s));
        env.insert(u"SOURCE_DATE_EPOCH"_s, sourceDateEpoch);
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(root.path());
        if (output == Output::OnePage) {
            process.setChildProcessModifier([] {
                if (::fcntl(STDOUT_FILENO, F_SETPIPE_SZ, 4096) < 0) {
                    ::_exit(126);
                }
            });
        } else if (output == Output::Closed) {
            process.setChildProcessModifier([] {
                int ends[2];
                if (::pipe(ends) != 0) {
                    ::_exit(126);
                }
                ::close(ends[0]);
                ::dup2(ends[1], STDOUT_FILENO);
                ::dup2(ends[1], STDERR_FILENO);
                ::close(ends[1]);
            });
        }
        if (shell.isEmpty()) {
            process.start(QStringLiteral(TESSAREL_CLI_PATH), arguments);
        } else {
            process.start(shell.first(), shell.mid(1) + QStringList{QStringLiteral(TESSAREL_CLI_PATH)} + arguments);
        }
        ASSERT_TRUE(process.waitForStarted());
    }

    CliRun run(const QStringList& arguments, const QStringList& shell = {}, Output output = Output::Read) const {
        QProcess process;
        start(process, arguments, shell, output);
        EXPECT_TRUE(process.waitForFinished(120000)) << "tessarel-cli did not finish";
        CliRun result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    /// A project of the given chapters (name, folder relative to the project).
    void writeProject(const std::vector<std::pair<QString, QString>>& chapters, bool htmlHelp = false) {
        QString text =
            QStringLiteral(
                "<?xml version=\"1.0\"?>\r\n<TessarelProject>\r\n<FileVer>1.0</FileVer>\r\n<Settings>\r\n"
                " <IncludeLastGenerated>True</IncludeLastGenerated>\r\n "
                "<GenerateHtmlHelpFiles>%1</GenerateHtmlHelpFiles>\r\n"
                "</Settings>\r\n<RelDestPath>book/</RelDestPath>\r\n<Book>\r\n <IndexTitle>Test Book</IndexTitle>\r\n"
                " <NumberOfChapters>%2</NumberOfChapters>\r\n")
                .arg(htmlHelp ? u"True"_s : u"False"_s)
                .arg(chapters.size());
        for (const auto& [name, folder] : chapters) {
            text += u"<C><N>%1</N><R>%2</R></C>\r\n"_s.arg(name, folder);
        }
        write(u"proj/test.qdx"_s, text + u"</Book>\r\n</TessarelProject>\r\n\r\n"_s);
    }

    /// 200 chapters that take a while each, so a build can be stopped part way.
    void writeLongProject() {
        QString big = kDocumented;
        for (int i = 0; i < 600; ++i) {
            big += Crlf(u"/*\n * function: f%1\n * Does *step* %1.\n */\nint f%1(int a, int b);\n\n"_s.arg(i));
        }
        std::vector<std::pair<QString, QString>> chapters;
        for (int i = 0; i < 200; ++i) {
            chapters.emplace_back(u"c%1.c"_s.arg(i), u"src/"_s);
            write(u"proj/src/"_s + chapters.back().first, big);
        }
        writeProject(chapters);
    }

    /// Reads the build's log until `chapters` chapters are built.
    static QByteArray waitForBuilt(QProcess& process, int chapters) {
        QByteArray out;
        while (out.count("Built OK") < chapters && process.waitForReadyRead(60000)) {
            out += process.readAllStandardOutput();
        }
        return out;
    }

    /// The names in the book folder that a build leaves only while it runs.
    QStringList buildFilesLeft() const {
        QStringList left;
        QDirIterator it(path(u"proj/book"_s), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString name = QFileInfo(it.next()).fileName();
            if (name.endsWith(u".tessarel-new"_s) || name.startsWith(u".tessarel-lock"_s)) {
                left << name;
            }
        }
        return left;
    }

    QTemporaryDir root;
    QString sourceDateEpoch = u"1700000000"_s;
};

TEST_F(CliTest, helpVersionAndUsageErrors) {
    const CliRun help = run({u"--help"_s});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(u"FILE..."_s)) << help.out.toStdString();
    // The help of -j tells the default that a build without it takes: the
    // window's preference where there is one.
    EXPECT_TRUE(
        help.out.simplified().contains(u"Default: Build Workers in the Settings of the window, the user's "
                                       u"preference, now Automatic, one per processor core ("_s))
        << help.out.toStdString();
    setPreference(prefs::kGeneral, prefs::kBuildWorkers, u"5"_s);
    EXPECT_TRUE(run({u"--help"_s}).out.simplified().contains(u"the user's preference, now 5."_s));
    EXPECT_EQ(run({u"--version"_s}).out.trimmed(), QStringLiteral("tessarel-cli " TESSAREL_VERSION));
    EXPECT_EQ(run({}).exitCode, 2);
    const CliRun unknown = run({u"--frobnicate"_s, u"x.c"_s});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains(u"frobnicate"_s));
    EXPECT_FALSE(QFile::exists(path(u"x.c.htm"_s)));
}

TEST_F(CliTest, singleFiles_oneLogRowEachAndTheWorstDecidesTheStatus) {
    write(u"src/counter.c"_s, kDocumented);
    const CliRun good = run({u"src/counter.c"_s});
    EXPECT_EQ(good.exitCode, 0) << good.err.toStdString();
    EXPECT_TRUE(good.out.contains(u"  ok    Sections OK | counter.c | Counter | counter.c.htm\n"_s))
        << good.out.toStdString();
    EXPECT_TRUE(good.out.contains(u"Page: "_s + path(u"src/counter.c.htm"_s)));
    EXPECT_TRUE(ReadBytes(path(u"src/counter.c.htm"_s)).contains("count_up"));
    EXPECT_TRUE(good.err.isEmpty()) << good.err.toStdString();

    write(u"about.htm"_s, u"<html><body>About</body></html>"_s);
    write(u"plain.c"_s, Crlf(u"int main(void) { return 0; }\n"_s));
    QDir().mkpath(path(u"folder.c"_s));  // exists, but cannot be read as a file
    const CliRun mixed =
        run({u"about.htm"_s, u"plain.c"_s, u"gone.c"_s, u"folder.c"_s, u"/dev/null"_s, u"src/counter.c"_s});
    EXPECT_EQ(mixed.exitCode, 1);
    EXPECT_TRUE(mixed.out.contains(u"  WARN  Not Built: HTML File | about.htm | about.htm | about.htm\n"_s))
        << mixed.out.toStdString();
    EXPECT_EQ(ReadBytes(path(u"about.htm"_s)), QByteArray("<html><body>About</body></html>"));
    EXPECT_TRUE(mixed.out.contains(u"  FAIL  No Sections Declared | plain.c | No Sections Defined"_s));
    EXPECT_TRUE(ReadBytes(path(u"plain.c.htm"_s)).contains("There are no Sections defined in this file"));
    EXPECT_TRUE(mixed.err.contains(u"File not found: File does not exist."_s)) << mixed.err.toStdString();
    // A file that was not read names no page: none was written.
    EXPECT_TRUE(mixed.out.contains(u"  FAIL  Unreadable File | folder.c | --- | \n"_s));
    EXPECT_TRUE(mixed.out.contains(u"  FAIL  Not a Regular File | null | --- | \n"_s)) << mixed.out.toStdString();
    EXPECT_TRUE(mixed.err.contains(u"Unreadable File: "_s + path(u"folder.c"_s) +
                                   u"\n  It could not be read: Is a directory."_s));
    EXPECT_FALSE(QFile::exists(path(u"folder.c.htm"_s)));
    EXPECT_TRUE(mixed.out.contains(u"  ok    Sections OK | counter.c"_s));

    // Control characters in a name are shown escaped, keeping each row on one line.
    const QString name = u"two\nlines\x1b[31m.c"_s;
    write(name, kDocumented);
    const CliRun odd = run({name});
    EXPECT_TRUE(
        odd.out.contains(u"  ok    Sections OK | two\\nlines\\x1b[31m.c | Counter | two\\nlines\\x1b[31m.c.htm\n"_s))
        << odd.out.toStdString();
    EXPECT_FALSE(odd.out.contains(QChar(0x1b)));
}

TEST_F(CliTest, specialAndHugeSources_areRefusedAtOnceAndKeepTheirPages) {
    ASSERT_TRUE(testing::MakeFifo(path(u"pipe.c"_s)));
    ASSERT_TRUE(testing::MakeSparseFile(path(u"huge.c"_s), (qint64{256} << 20) + 1));
    write(u"pipe.c.htm"_s, u"an earlier page"_s);
    const CliRun files = run({u"pipe.c"_s, u"huge.c"_s});
    EXPECT_EQ(files.exitCode, 1);
    EXPECT_TRUE(files.out.contains(u"  FAIL  Not a Regular File | pipe.c | --- | \n"_s)) << files.out.toStdString();
    EXPECT_TRUE(files.out.contains(u"  FAIL  File Too Large | huge.c | --- | \n"_s));
    EXPECT_TRUE(files.err.contains(u"File Too Large: "_s + path(u"huge.c"_s) +
                                   u"\n  It is larger than 256 MB, the most Tessarel reads."_s))
        << files.err.toStdString();
    EXPECT_EQ(ReadBytes(path(u"pipe.c.htm"_s)), QByteArray("an earlier page"));
    EXPECT_FALSE(QFile::exists(path(u"huge.c.htm"_s)));
}

// A page beside its source replaces only a page Tessarel wrote: a file of the
// user's at its name stays (a link or a pipe too, neither followed nor waited
// on), that source fails, and the files after it are built.
TEST_F(CliTest, singleFiles_keepAFileTessarelDidNotWriteAtTheirPageName) {
    write(u"src/notes"_s, kDocumented);
    write(u"src/notes.htm"_s, u"<html>my own notes</html>"_s);
    write(u"src/linked.c"_s, kDocumented);
    write(u"mine.htm"_s, u"<html>mine</html>"_s);
    ASSERT_TRUE(QFile::link(path(u"mine.htm"_s), path(u"src/linked.c.htm"_s)));
    write(u"src/piped.c"_s, kDocumented);
    ASSERT_TRUE(testing::MakeFifo(path(u"src/piped.c.htm"_s)));
    write(u"src/counter.c"_s, kDocumented);
    WriteBytes(path(u"src/counter.c.htm"_s), "\r\n" + kPageGeneratorLine.toLatin1() + "\r\nan earlier page\r\n");
    const auto before = testing::Tree(path(u"src"_s));

    const CliRun result = run({u"src/notes"_s, u"src/linked.c"_s, u"src/piped.c"_s, u"src/counter.c"_s});
    EXPECT_EQ(result.exitCode, 1);
    for (const QString& name : {u"notes"_s, u"linked.c"_s, u"piped.c"_s}) {
        EXPECT_TRUE(result.out.contains(u"  FAIL  Kept: Not Written By Tessarel | "_s + name + u" | --- | "_s + name +
                                        u".htm\n"_s))
            << result.out.toStdString();
    }
    EXPECT_TRUE(result.out.contains(u"  ok    Sections OK | counter.c | Counter | counter.c.htm\n"_s));
    EXPECT_EQ(result.out.count(u"Page: "_s), 1) << result.out.toStdString();
    auto after = testing::Tree(path(u"src"_s));
    EXPECT_TRUE(after[u"counter.c.htm"_s].contains("count_up"));
    after[u"counter.c.htm"_s] = before.at(u"counter.c.htm"_s);
    EXPECT_EQ(after, before);
    EXPECT_EQ(ReadBytes(path(u"mine.htm"_s)), QByteArray("<html>mine</html>"));
}

TEST_F(CliTest, project_buildsWhatItCanAndFailsForAMissingChapter) {
    write(u"proj/src/counter.c"_s, kDocumented);
    write(u"proj/src/notes.htm"_s, u"<html><body>Notes</body></html>"_s);
    writeProject({{u"counter.c"_s, u"src/"_s}, {u"notes.htm"_s, u"src/"_s}, {u"lost.c"_s, u"src/"_s}});
    const CliRun result = run({u"proj/test.qdx"_s});
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(u"  ok    Built OK | counter.c | Counter | counter.c.htm\n"_s))
        << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(u"  FAIL  Missing File | lost.c | --- | ---\n"_s));
    EXPECT_TRUE(result.out.contains(u"> HTML TOC"_s));  // the side pages are logged too
    EXPECT_TRUE(result.out.contains(u"3 of 3 files processed: 2 built, 1 failed."_s));
    const QString book = path(u"proj/book/"_s);
    EXPECT_TRUE(result.out.contains(u"Book: "_s + book + u"index.htm"_s)) << result.out.toStdString();
    EXPECT_TRUE(QFile::exists(book + u"notes.htm"_s));
    EXPECT_TRUE(ReadBytes(book + u"lost.c.htm"_s).contains("File not found"));

    // Any number of workers says and writes the same; a number out of range is a usage error.
    // The rows' times may fall in another second.
    static const QRegularExpression kTimes(u"(?m)^\\d\\d:\\d\\d:\\d\\d"_s);
    const auto withoutTimes = [](QString text) { return text.replace(kTimes, u"HH:MM:SS"_s); };
    for (const QStringList& jobs : {QStringList{u"-j"_s, u"1"_s}, QStringList{u"--jobs"_s, u"3"_s}}) {
        const CliRun again = run(jobs + QStringList{u"proj/test.qdx"_s});
        EXPECT_EQ(again.exitCode, 1);
        EXPECT_EQ(withoutTimes(again.out), withoutTimes(result.out)) << jobs.join(u' ').toStdString();
    }
    for (const QString& bad : {u"0"_s, u"257"_s, u"many"_s}) {
        const CliRun refused = run({u"-j"_s, bad, u"proj/test.qdx"_s});
        EXPECT_EQ(refused.exitCode, 2) << bad.toStdString();
        EXPECT_TRUE(refused.err.contains(u"--jobs"_s)) << refused.err.toStdString();
    }
}

// Every FAIL row fails the run and is counted, the book's own rows too, and
// the summary says what happened.
TEST_F(CliTest, aFailRowAlwaysFailsTheRunAndCounts) {
    // The help compiler writes its file, but reports an error.
    setPreference(prefs::kProject, prefs::kCompilerPath, path(u"compiler"_s));
    testing::WriteScript(path(u"compiler/chmcmd"_s),
                         u"#!/bin/sh\necho 'Error: a topic is missing'\necho x > test.chm\n"_s);
    write(u"proj/src/counter.c"_s, kDocumented);
    writeProject({{u"counter.c"_s, u"src/"_s}}, true);
    const CliRun help = run({u"proj/test.qdx"_s});
    EXPECT_EQ(help.exitCode, 1) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(u"  FAIL  > Compiled Help: 1 Error, 0 Warnings | help.hhp |  | test.chm\n"_s))
        << help.out.toStdString();
    EXPECT_TRUE(
        help.out.contains(u"\n1 of 1 file processed: 1 built, 1 failed, the help compiler reported errors.\n"_s))
        << help.out.toStdString();

    // A book file that would replace a source: nothing is written, and the
    // destination is not blamed.
    write(u"proj/book/index.htm"_s, u"<html>the user's own page</html>"_s);
    writeProject({{u"counter.c"_s, u"src/"_s}, {u"index.htm"_s, u"book/"_s}});
    const CliRun kept = run({u"proj/test.qdx"_s});
    EXPECT_EQ(kept.exitCode, 1);
    EXPECT_TRUE(kept.out.contains(u"  FAIL  Not Built: Page Is A Source | index.htm | --- | index.htm\n"_s))
        << kept.out.toStdString();
    EXPECT_TRUE(kept.out.contains(
        u"\n0 of 2 files processed: 0 built, 1 failed, nothing written: a book file would replace a source.\n"_s))
        << kept.out.toStdString();
    EXPECT_FALSE(kept.err.contains(u"could not be written"_s)) << kept.err.toStdString();
    EXPECT_EQ(ReadBytes(path(u"proj/book/index.htm"_s)), QByteArray("<html>the user's own page</html>"));
}

// The console cannot ask: a file of the user's where the book writes one is
// kept, with a failed row, and the build fails though every chapter was built.
TEST_F(CliTest, project_keepsAFileTessarelDidNotWriteAndFails) {
    write(u"proj/src/counter.c"_s, kDocumented);
    writeProject({{u"counter.c"_s, u"src/"_s}});
    write(u"proj/book/index.htm"_s, u"<html>my own start page</html>"_s);
    const CliRun result = run({u"proj/test.qdx"_s});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.out.contains(u"  FAIL  Kept: Not Written By Tessarel | index.htm | --- | index.htm\n"_s))
        << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(u"1 of 1 file processed: 1 built, 1 failed, 1 book file kept."_s));
    EXPECT_FALSE(result.out.contains(u"Book: "_s));
    EXPECT_TRUE(result.err.contains(u"Files kept"_s)) << result.err.toStdString();
    EXPECT_EQ(ReadBytes(path(u"proj/book/index.htm"_s)), QByteArray("<html>my own start page</html>"));
    EXPECT_TRUE(ReadBytes(path(u"proj/book/counter.c.htm"_s)).contains("count_up"));
}

TEST_F(CliTest, unreadableProject_isAUsageError) {
    const CliRun missing = run({u"nowhere.qdx"_s});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains(u"Project not found"_s)) << missing.err.toStdString();
    QDir().mkpath(path(u"folder.qdx"_s));
    EXPECT_EQ(run({u"folder.qdx"_s}).exitCode, 2);

    // A pipe would wait for a writer, a device would be read without end.
    ASSERT_TRUE(testing::MakeFifo(path(u"pipe.qdx"_s)));
    ASSERT_TRUE(QFile::link(u"/dev/zero"_s, path(u"zero.qdx"_s)));
    for (const QString& name : {u"pipe.qdx"_s, u"zero.qdx"_s}) {
        const CliRun special = run({name});
        EXPECT_EQ(special.exitCode, 2) << special.err.toStdString();
        EXPECT_TRUE(special.err.contains(u"Unable to read the project file:\n  "_s + path(name) +
                                         u"\n  It is not a regular file but a pipe, a device or a socket"_s))
            << special.err.toStdString();
    }
}

// Running out of memory on one file is that file's failure: the build goes on
// and the program does not claim to close.
TEST_F(CliTest, outOfMemoryOnOneFile_failsThatFileAndTheBuildGoesOn) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
#endif
    const QByteArray line = "// function: f\n// Some *bold* text.\n";
    QByteArray big;
    for (qsizetype size = 0; size < (qsizetype{16} << 20); size += line.size()) {
        big += line;
    }
    WriteBytes(path(u"proj/src/big.c"_s), big);
    const QByteArray earlier = "\r\n" + kPageGeneratorLine.toLatin1() + "\r\nan earlier page\r\n";
    WriteBytes(path(u"proj/book/big.c.htm"_s), earlier);
    write(u"proj/src/counter.c"_s, kDocumented);
    writeProject({{u"big.c"_s, u"src/"_s}, {u"counter.c"_s, u"src/"_s}});
    // 200 MB of address space: room for the program, not for a 16 MB source's passes.
    const CliRun result = run({u"proj/test.qdx"_s, u"proj/src/big.c"_s},
                              {u"/bin/sh"_s, u"-c"_s, u"ulimit -v 200000 && exec \"$0\" \"$@\""_s});
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(u"  FAIL  Out of Memory | big.c | --- | big.c.htm\n"_s))
        << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(u"2 of 2 files processed: 1 built, 1 failed."_s));
    EXPECT_EQ(ReadBytes(path(u"proj/book/big.c.htm"_s)), earlier);
    // The single file that follows is told the same way.
    EXPECT_TRUE(result.err.contains(u"Out of Memory: "_s + path(u"proj/src/big.c"_s) +
                                    u"\n  There was not enough memory to read it or build its page."_s))
        << result.err.toStdString();
    EXPECT_FALSE(result.err.contains(u"will close now"_s));
}

TEST_F(CliTest, sourceDateEpoch_makesPagesByteIdentical) {
    setPreference(prefs::kSingleFile, u"propLastGenerated"_s, u" 1"_s);
    write(u"counter.c"_s, kDocumented);
    ASSERT_EQ(run({u"counter.c"_s}).exitCode, 0);
    const QByteArray first = ReadBytes(path(u"counter.c.htm"_s));
    ASSERT_EQ(run({u"counter.c"_s}).exitCode, 0);
    EXPECT_EQ(ReadBytes(path(u"counter.c.htm"_s)), first);
    // The footer really carries the stamp: another epoch, another page.
    sourceDateEpoch = u"86400"_s;
    ASSERT_EQ(run({u"counter.c"_s}).exitCode, 0);
    EXPECT_NE(ReadBytes(path(u"counter.c.htm"_s)), first);
}

// A page is replaced by a new file whenever its bytes change: its inode tells.
ino_t Inode(const QString& file) {
    struct stat info = {};
    return ::stat(QFile::encodeName(file).constData(), &info) == 0 ? info.st_ino : 0;
}

TEST_F(CliTest, aProjectBuildRewritesOnlyChangedChaptersUnlessToldToRebuild) {
    write(u"proj/src/a.c"_s, kDocumented);
    write(u"proj/src/b.c"_s, kDocumented);
    writeProject({{u"a.c"_s, u"src/"_s}, {u"b.c"_s, u"src/"_s}});
    const QString a = path(u"proj/book/a.c.htm"_s);
    const QString b = path(u"proj/book/b.c.htm"_s);
    ASSERT_EQ(run({u"proj/test.qdx"_s}).exitCode, 0);
    const ino_t firstA = Inode(a);
    const ino_t firstB = Inode(b);
    const QByteArray pageB = ReadBytes(b);

    write(u"proj/src/b.c"_s, kDocumented + u"/* function: more\r\n * More. */\r\nint more(void);\r\n"_s);
    const CliRun second = run({u"proj/test.qdx"_s});
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_TRUE(second.out.contains(u"2 of 2 files processed: 2 built, 0 failed."_s)) << second.out.toStdString();
    EXPECT_EQ(Inode(a), firstA);
    EXPECT_NE(Inode(b), firstB);
    EXPECT_NE(ReadBytes(b), pageB);
    // The record is the user's cache, never a file of the book.
    EXPECT_EQ(QDir(path(u"cache/Tessarel/builds"_s)).entryList(QDir::Files).size(), 1);

    // A page built again with the same bytes is kept; a rebuild at another
    // time stamps every page anew, so each is a new file.
    const ino_t secondB = Inode(b);
    ASSERT_EQ(run({u"--rebuild"_s, u"proj/test.qdx"_s}).exitCode, 0);
    EXPECT_EQ(Inode(a), firstA);
    EXPECT_EQ(Inode(b), secondB);
    sourceDateEpoch = u"86400"_s;
    ASSERT_EQ(run({u"--rebuild"_s, u"proj/test.qdx"_s}).exitCode, 0);
    EXPECT_NE(Inode(a), firstA);
    EXPECT_NE(Inode(b), secondB);
}

// Killed outright while the help compiler runs, the program takes the compiler with it.
TEST_F(CliTest, aKilledBuildEndsTheHelpCompiler) {
    setPreference(prefs::kProject, prefs::kCompilerPath, path(u"compiler"_s));
    write(u"proj/src/counter.c"_s, kDocumented);
    writeProject({{u"counter.c"_s, u"src/"_s}}, true);
    // The compiler runs in a staging folder: it reports to a fixed path.
    const QString pidFile = path(u"proj/book/pids"_s);
    testing::WriteScript(path(u"compiler/chmcmd"_s), u"#!/bin/sh\nsleep 600 &\necho $! > '"_s + pidFile +
                                                         u"'\necho $$ >> '"_s + pidFile + u"'\nwait\n"_s);
    QProcess killed;
    start(killed, {u"proj/test.qdx"_s});
    for (int i = 0; i < 600 && testing::ReadPids(pidFile).size() < 2; ++i) {
        killed.waitForFinished(100);
    }
    const std::vector<qint64> pids = testing::ReadPids(pidFile);
    ASSERT_EQ(pids.size(), 2u);
    killed.kill();
    ASSERT_TRUE(killed.waitForFinished(60000));
    EXPECT_TRUE(testing::ProcessesEnded({pids[1]}));
    ::kill(static_cast<pid_t>(pids[0]), SIGKILL);  // its helper is beyond reach
}

// SIGTERM, and SIGHUP from a terminal that was closed: the build stops at the
// next chapter, still writes the book and leaves nothing of its own behind.
TEST_F(CliTest, sigtermAndSighupStopAtTheNextChapterAndStillWriteTheBook) {
    writeLongProject();
    for (const auto& [stop, status] : {std::pair{SIGTERM, 143}, std::pair{SIGHUP, 129}}) {
        QDir(path(u"proj/book"_s)).removeRecursively();
        QProcess process;
        start(process, {u"proj/test.qdx"_s}, {}, Output::OnePage);
        QByteArray out = waitForBuilt(process, 1);
        ::kill(static_cast<pid_t>(process.processId()), stop);
        ASSERT_TRUE(process.waitForFinished(120000));
        out += process.readAllStandardOutput();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << stop;
        EXPECT_EQ(process.exitCode(), status) << out.constData();
        EXPECT_TRUE(out.contains("build interrupted")) << out.constData();
        EXPECT_TRUE(out.contains("  WARN  > Cancelled after ")) << out.constData();
        EXPECT_FALSE(out.contains("200 of 200")) << out.constData();
        EXPECT_TRUE(ReadBytes(path(u"proj/book/index.htm"_s)).contains("frameset")) << stop;
        EXPECT_EQ(buildFilesLeft(), QStringList()) << stop;
    }
}

// Output into a pipe whose reader has gone (`tessarel-cli p.qdx | head -1`)
// ends the printing, not the build.
TEST_F(CliTest, aClosedOutputStopsThePrintingNotTheBuild) {
    write(u"proj/src/a.c"_s, kDocumented);
    write(u"proj/src/b.c"_s, kDocumented);
    write(u"src/counter.c"_s, kDocumented);
    writeProject({{u"a.c"_s, u"src/"_s}, {u"b.c"_s, u"src/"_s}});
    const CliRun closed = run({u"proj/test.qdx"_s, u"src/counter.c"_s}, {}, Output::Closed);
    EXPECT_EQ(closed.exitCode, 0);
    for (const QString& page : {u"index.htm"_s, u"_dindex.htm"_s, u"a.c.htm"_s, u"b.c.htm"_s}) {
        EXPECT_TRUE(QFile::exists(path(u"proj/book/"_s) + page)) << page.toStdString();
    }
    EXPECT_EQ(buildFilesLeft(), QStringList());
    EXPECT_TRUE(QFile::exists(path(u"src/counter.c.htm"_s)));
}

TEST_F(CliTest, aKilledBuildLeavesWholePagesAndTheNextBuildTidiesUp) {
    writeLongProject();
    QProcess killed;
    start(killed, {u"proj/test.qdx"_s}, {}, Output::OnePage);
    waitForBuilt(killed, 3);
    ::kill(static_cast<pid_t>(killed.processId()), SIGKILL);
    ASSERT_TRUE(killed.waitForFinished(60000));
    // The lock and the contents page growing beside its place are left.
    EXPECT_TRUE(buildFilesLeft().contains(u".tessarel-lock"_s)) << buildFilesLeft().join(u' ').toStdString();
    EXPECT_GE(buildFilesLeft().size(), 2);
    for (const QFileInfo& page : QDir(path(u"proj/book"_s)).entryInfoList({u"*.htm"_s}, QDir::Files)) {
        EXPECT_TRUE(ReadBytes(page.filePath()).endsWith("</html>\r\n\r\n")) << page.fileName().toStdString();
    }

    QProcess next;
    start(next, {u"proj/test.qdx"_s});
    ASSERT_TRUE(next.waitForFinished(600000));
    const QByteArray out = next.readAllStandardOutput();
    EXPECT_EQ(next.exitCode(), 0) << out.constData() << next.readAllStandardError().constData();
    EXPECT_TRUE(out.contains("200 of 200 files processed: 200 built, 0 failed.")) << out.constData();
    EXPECT_EQ(buildFilesLeft(), QStringList());
}

TEST_F(CliTest, aSecondBuildOfTheSameDestinationStopsAtOnce) {
    writeLongProject();
    QProcess first;
    start(first, {u"proj/test.qdx"_s}, {}, Output::OnePage);
    waitForBuilt(first, 1);
    // Held still part way, so the second build surely meets it.
    ::kill(static_cast<pid_t>(first.processId()), SIGSTOP);
    const CliRun second = run({u"proj/test.qdx"_s});
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_TRUE(second.err.contains(u"Destination in use: Another build is writing to this folder:"_s))
        << second.err.toStdString();
    EXPECT_TRUE(second.err.contains(u"process "_s + QString::number(first.processId())));
    EXPECT_FALSE(second.out.contains(u"Built OK"_s)) << second.out.toStdString();

    // Ctrl+C: the first stops at its next chapter and leaves nothing behind.
    ::kill(static_cast<pid_t>(first.processId()), SIGINT);
    ::kill(static_cast<pid_t>(first.processId()), SIGCONT);
    ASSERT_TRUE(first.waitForFinished(120000));
    EXPECT_EQ(first.exitCode(), 130);
    EXPECT_EQ(buildFilesLeft(), QStringList());
}

/// Reads a watching program's output until `done` holds or a generous time is up.
bool ReadUntil(QProcess& process, QString& out, QString& err, const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 60000 && process.state() == QProcess::Running) {
        process.waitForReadyRead(100);
        out += QString::fromUtf8(process.readAllStandardOutput());
        err += QString::fromUtf8(process.readAllStandardError());
    }
    return done();
}

/// True once the process is stopped (SIGSTOP has taken hold); waits a generous time for it.
bool Stopped(qint64 pid) {
    const QString stat = u"/proc/%1/stat"_s.arg(pid);
    for (int i = 0; i < 600; ++i) {
        const QByteArray line = ReadBytes(stat);
        const qsizetype close = line.lastIndexOf(')');
        if (close >= 0 && line.mid(close + 2, 1) == "T") {
            return true;
        }
        QThread::msleep(100);
    }
    return false;
}

TEST_F(CliTest, watch_aBurstOfSavesGivesOneRebuildAndCtrlCEndsIt) {
    write(u"main.c"_s, kDocumented);
    write(u"util.c"_s, kDocumented);
    QProcess process;
    start(process, {u"--watch"_s, u"main.c"_s, u"util.c"_s});
    QString out, err;
    ASSERT_TRUE(ReadUntil(process, out, err, [&] { return err.contains(u"Watching 2 files;"_s); }))
        << out.toStdString() << err.toStdString();
    EXPECT_TRUE(out.contains(u"ok    Sections OK | main.c | Counter | main.c.htm"_s)) << out.toStdString();

    // Held still while the burst is saved, the watch meets all of it at once.
    const auto pid = static_cast<pid_t>(process.processId());
    ::kill(pid, SIGSTOP);
    ASSERT_TRUE(Stopped(pid));
    write(u"main.c"_s, kDocumented + Crlf(u"/*\n * function: count_down\n * Takes one.\n */\n"_s));
    write(u"main.c"_s, kDocumented + Crlf(u"/*\n * function: count_twice\n * Adds two.\n */\n"_s));
    ::kill(pid, SIGCONT);
    ASSERT_TRUE(ReadUntil(process, out, err, [&] { return out.contains(u"rebuilt"_s); })) << err.toStdString();
    // The next line is a later save's: the burst gave one rebuild.
    write(u"util.c"_s, kDocumented + u" "_s);
    ASSERT_TRUE(ReadUntil(process, out, err, [&] { return out.count(u"  rebuilt "_s) == 2; })) << err.toStdString();
    const QStringList rebuilt = out.split(u'\n').filter(u"  rebuilt "_s);
    ASSERT_EQ(rebuilt.size(), 2) << out.toStdString();
    EXPECT_TRUE(rebuilt[0].endsWith(u"  rebuilt main.c (changed: main.c): ok"_s)) << out.toStdString();
    EXPECT_TRUE(rebuilt[1].endsWith(u"  rebuilt util.c (changed: util.c): ok"_s)) << out.toStdString();
    // A rebuild shows no log row of a file that built, only its own line.
    EXPECT_EQ(out.count(u"Sections OK | main.c"_s), 1) << out.toStdString();
    const QByteArray page = ReadBytes(path(u"main.c.htm"_s));
    EXPECT_TRUE(page.contains("count_twice") && !page.contains("count_down"));

    ::kill(pid, SIGINT);
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 130);
}

TEST_F(CliTest, watch_aProjectFollowsTheChaptersItsFileListsAndSigtermEndsIt) {
    write(u"proj/src/a.c"_s, kDocumented);
    write(u"proj/src/b.c"_s, kDocumented);
    writeProject({{u"a.c"_s, u"src/"_s}});
    QProcess process;
    start(process, {u"--watch"_s, u"proj/test.qdx"_s});
    QString out, err;
    ASSERT_TRUE(ReadUntil(process, out, err, [&] { return err.contains(u"Watching 2 files;"_s); }))
        << out.toStdString() << err.toStdString();

    // Not a chapter yet: no rebuild. Then the project lists it, and from then
    // on its saves rebuild the book. Held still while both are saved, the
    // watch meets the project's every event in one burst, however loaded the
    // machine: none is left over for the next report.
    const auto pid = static_cast<pid_t>(process.processId());
    ::kill(pid, SIGSTOP);
    ASSERT_TRUE(Stopped(pid));
    write(u"proj/src/b.c"_s, kDocumented + u" "_s);
    writeProject({{u"a.c"_s, u"src/"_s}, {u"b.c"_s, u"src/"_s}});
    ::kill(pid, SIGCONT);
    ASSERT_TRUE(ReadUntil(process, out, err, [&] { return out.contains(u"rebuilt"_s); })) << err.toStdString();
    EXPECT_TRUE(out.contains(u"  rebuilt test.qdx (changed: test.qdx): 2 of 2 files processed: 2 built, 0 failed\n"_s))
        << out.toStdString();
    QFile::remove(path(u"proj/src/b.c"_s));
    ASSERT_TRUE(ReadUntil(process, out, err, [&] { return out.count(u"rebuilt"_s) == 2; })) << err.toStdString();
    EXPECT_TRUE(out.contains(u"  rebuilt test.qdx (removed: b.c): 2 of 2 files processed: 1 built, 1 failed\n"_s))
        << out.toStdString();
    // The failed chapter's log row is shown; the built one's is not.
    EXPECT_TRUE(out.contains(u"FAIL  Missing File | b.c"_s)) << out.toStdString();
    EXPECT_EQ(out.count(u"Built OK | a.c"_s), 1) << out.toStdString();

    // The sources' folder removed and made again, as a branch switch does:
    // the watch follows it back.
    ::kill(pid, SIGSTOP);
    ASSERT_TRUE(Stopped(pid));
    ASSERT_TRUE(QDir(path(u"proj/src"_s)).removeRecursively());
    ::kill(pid, SIGCONT);
    ASSERT_TRUE(ReadUntil(process, out, err, [&] { return out.count(u"rebuilt"_s) == 3; })) << err.toStdString();
    EXPECT_TRUE(out.contains(u"  rebuilt test.qdx (removed: a.c): 2 of 2 files processed: 0 built, 2 failed\n"_s))
        << out.toStdString();
    // Back at once, as an archive unpacked beside it and moved into place.
    write(u"proj/unpacked/a.c"_s, kDocumented);
    write(u"proj/unpacked/b.c"_s, kDocumented);
    ASSERT_TRUE(QDir().rename(path(u"proj/unpacked"_s), path(u"proj/src"_s)));
    ASSERT_TRUE(ReadUntil(process, out, err, [&] { return out.count(u"rebuilt"_s) == 4; })) << err.toStdString();
    EXPECT_TRUE(out.contains(u"  rebuilt test.qdx (changed: a.c, b.c): 2 of 2 files processed: 2 built, 0 failed\n"_s))
        << out.toStdString();

    ::kill(pid, SIGTERM);
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 143);
}

}  // namespace
}  // namespace tessarel
