// Runs the built tessarel-cli on small inputs in a temporary folder, with its
// own preference and data folders, and checks what a script would rely on:
// exit statuses, log lines, where pages land, and reproducible pages.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <map>

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

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_CONFIG_HOME"_s, path(u"config"_s));
        env.insert(u"XDG_DATA_HOME"_s, path(u"data"_s));
        env.insert(u"HOME"_s, path(u"home"_s));
        env.insert(u"SOURCE_DATE_EPOCH"_s, sourceDateEpoch);
        return env;
    }

    CliRun run(const QStringList& arguments) const {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.setWorkingDirectory(root.path());
        process.start(QStringLiteral(TESSAREL_CLI_PATH), arguments);
        EXPECT_TRUE(process.waitForFinished(120000)) << "tessarel-cli did not finish";
        CliRun result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    /// A project of the given chapters (name, folder relative to the project).
    void writeProject(const QString& relative, const std::vector<std::pair<QString, QString>>& chapters,
                      bool htmlHelp = false) {
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
        write(relative, text + u"</Book>\r\n</TessarelProject>\r\n\r\n"_s);
    }

    /// Every file below a folder with its bytes.
    std::map<QString, QByteArray> snapshot(const QString& folder) const {
        std::map<QString, QByteArray> files;
        QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            files[file] = ReadBytes(file);
        }
        return files;
    }

    QTemporaryDir root;
    QString sourceDateEpoch = u"1700000000"_s;
};

TEST_F(CliTest, helpVersionAndUsageErrors) {
    const CliRun help = run({u"--help"_s});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(u"FILE..."_s)) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(u"--version"_s));

    const CliRun version = run({u"--version"_s});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.trimmed(), QStringLiteral("tessarel-cli " TESSAREL_VERSION));

    EXPECT_EQ(run({}).exitCode, 2);
    const CliRun unknown = run({u"--frobnicate"_s, u"x.c"_s});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains(u"frobnicate"_s));
    EXPECT_FALSE(QFile::exists(path(u"x.c.htm"_s)));
}

TEST_F(CliTest, documentedFile_buildsPageBesideIt) {
    write(u"src/counter.c"_s, kDocumented);
    const CliRun result = run({u"src/counter.c"_s});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(u"  ok    Sections OK | counter.c | Counter | counter.c.htm"_s))
        << result.out.toStdString();
    const QString page = path(u"src/counter.c.htm"_s);
    EXPECT_TRUE(result.out.contains(u"Page: "_s + page)) << result.out.toStdString();
    const QByteArray html = ReadBytes(page);
    EXPECT_TRUE(html.contains("count_up")) << html.constData();
    EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();
}

TEST_F(CliTest, fileWithoutSectionsMissingOrUnreadable_failWithStatusOne) {
    write(u"plain.c"_s, Crlf(u"int main(void) { return 0; }\n"_s));
    const CliRun plain = run({u"plain.c"_s});
    EXPECT_EQ(plain.exitCode, 1);
    EXPECT_TRUE(plain.out.contains(u"  FAIL  No Sections Declared | plain.c | No Sections Defined"_s))
        << plain.out.toStdString();
    EXPECT_TRUE(ReadBytes(path(u"plain.c.htm"_s)).contains("There are no Sections defined in this file"));

    const CliRun missing = run({u"gone.c"_s});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(u"File not found: File does not exist."_s)) << missing.err.toStdString();

    // A folder passes the existence test but cannot be read as a file; no page is made for it.
    QDir().mkpath(path(u"folder.c"_s));
    const CliRun unreadable = run({u"folder.c"_s});
    EXPECT_EQ(unreadable.exitCode, 1) << unreadable.out.toStdString();
    EXPECT_TRUE(unreadable.out.contains(u"  FAIL  Unreadable File | folder.c | --- | folder.c.htm"_s))
        << unreadable.out.toStdString();
    EXPECT_TRUE(unreadable.err.contains(u"Unreadable File: "_s + path(u"folder.c"_s) +
                                        u"\n  It could not be read: Is a directory."_s))
        << unreadable.err.toStdString();
    EXPECT_FALSE(QFile::exists(path(u"folder.c.htm"_s)));

    // The worst file decides; the good one is still built.
    write(u"counter.c"_s, kDocumented);
    const CliRun mixed = run({u"counter.c"_s, u"gone.c"_s});
    EXPECT_EQ(mixed.exitCode, 1);
    EXPECT_TRUE(QFile::exists(path(u"counter.c.htm"_s)));
}

TEST_F(CliTest, htmlSource_countsAsBuiltAndIsItsOwnPage) {
    write(u"about.htm"_s, u"<html><body>About</body></html>"_s);
    const CliRun result = run({u"about.htm"_s});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(u"  ok    Not Built: HTML File | about.htm | about.htm"_s))
        << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(u"Page: "_s + path(u"about.htm"_s)));
    EXPECT_EQ(ReadBytes(path(u"about.htm"_s)), QByteArray("<html><body>About</body></html>"));
}

TEST_F(CliTest, projectWithMissingChapter_buildsTheRestAndFails) {
    write(u"proj/src/counter.c"_s, kDocumented);
    writeProject(u"proj/test.qdx"_s, {{u"counter.c"_s, u"src/"_s}, {u"lost.c"_s, u"src/"_s}});
    const CliRun result = run({u"proj/test.qdx"_s});
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(u"  ok    Built OK | counter.c | Counter | counter.c.htm"_s))
        << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(u"  FAIL  Missing File | lost.c | --- | ---"_s));
    EXPECT_TRUE(result.out.contains(u"2 of 2 files processed: 1 built, 1 failed."_s));
    const QString book = path(u"proj/book/"_s);
    EXPECT_TRUE(result.out.contains(u"Book: "_s + book + u"index.htm"_s)) << result.out.toStdString();
    EXPECT_TRUE(QFile::exists(book + u"counter.c.htm"_s));
    EXPECT_TRUE(ReadBytes(book + u"lost.c.htm"_s).contains("File not found"));
}

TEST_F(CliTest, completeProject_succeeds) {
    write(u"proj/src/counter.c"_s, kDocumented);
    write(u"proj/src/notes.htm"_s, u"<html><body>Notes</body></html>"_s);
    writeProject(u"proj/test.qdx"_s, {{u"counter.c"_s, u"src/"_s}, {u"notes.htm"_s, u"src/"_s}});
    const CliRun result = run({u"proj/test.qdx"_s});
    EXPECT_EQ(result.exitCode, 0) << result.out.toStdString() << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(u"2 of 2 files processed: 2 built, 0 failed."_s));
    EXPECT_TRUE(result.out.contains(u"> HTML TOC"_s));  // the side pages are logged too
    EXPECT_TRUE(QFile::exists(path(u"proj/book/notes.htm"_s)));
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

TEST_F(CliTest, specialAndHugeSources_areRefusedAtOnceAndKeepTheirPages) {
    ASSERT_TRUE(testing::MakeFifo(path(u"pipe.c"_s)));
    ASSERT_TRUE(testing::MakeSparseFile(path(u"huge.c"_s), (qint64{256} << 20) + 1));
    write(u"pipe.c.htm"_s, u"an earlier page"_s);
    write(u"counter.c"_s, kDocumented);
    const CliRun files = run({u"pipe.c"_s, u"huge.c"_s, u"counter.c"_s});
    EXPECT_EQ(files.exitCode, 1);
    EXPECT_TRUE(files.out.contains(u"  FAIL  Not a Regular File | pipe.c | --- | pipe.c.htm\n"_s))
        << files.out.toStdString();
    EXPECT_TRUE(files.out.contains(u"  FAIL  File Too Large | huge.c | --- | huge.c.htm\n"_s));
    EXPECT_TRUE(files.err.contains(u"File Too Large: "_s + path(u"huge.c"_s) +
                                   u"\n  It is larger than 256 MB, the most Tessarel reads."_s))
        << files.err.toStdString();
    EXPECT_TRUE(files.out.contains(u"  ok    Sections OK | counter.c"_s));
    EXPECT_EQ(ReadBytes(path(u"pipe.c.htm"_s)), QByteArray("an earlier page"));
    EXPECT_FALSE(QFile::exists(path(u"huge.c.htm"_s)));

    // As chapters: a pipe, a device and the huge file, then a good one.
    write(u"proj/src/counter.c"_s, kDocumented);
    ASSERT_TRUE(testing::MakeFifo(path(u"proj/src/pipe.c"_s)));
    writeProject(
        u"proj/test.qdx"_s,
        {{u"pipe.c"_s, u"src/"_s}, {u"zero"_s, u"/dev/"_s}, {u"huge.c"_s, root.path()}, {u"counter.c"_s, u"src/"_s}});
    const CliRun project = run({u"proj/test.qdx"_s});
    EXPECT_EQ(project.exitCode, 1) << project.err.toStdString();
    EXPECT_TRUE(project.out.contains(u"  FAIL  Not a Regular File | pipe.c | --- | pipe.c.htm\n"_s))
        << project.out.toStdString();
    EXPECT_TRUE(project.out.contains(u"  FAIL  Not a Regular File | zero | --- | zero.htm\n"_s));
    EXPECT_TRUE(project.out.contains(u"  FAIL  File Too Large | huge.c | --- | huge.c.htm\n"_s));
    EXPECT_TRUE(project.out.contains(u"4 of 4 files processed: 1 built, 3 failed."_s));
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
    write(u"proj/book/big.c.htm"_s, u"an earlier page"_s);
    write(u"proj/src/counter.c"_s, kDocumented);
    writeProject(u"proj/test.qdx"_s, {{u"big.c"_s, u"src/"_s}, {u"counter.c"_s, u"src/"_s}});
    // 200 MB of address space: room for the program, not for a 16 MB source's passes.
    const QStringList limited{u"-c"_s, u"ulimit -v 200000 && exec \"$0\" \"$@\""_s, QStringLiteral(TESSAREL_CLI_PATH)};
    QProcess process;
    process.setProcessEnvironment(environment());
    process.setWorkingDirectory(root.path());
    process.start(u"/bin/sh"_s, limited + QStringList{u"proj/test.qdx"_s, u"proj/src/big.c"_s});
    ASSERT_TRUE(process.waitForFinished(120000));
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    const QString err = QString::fromUtf8(process.readAllStandardError());
    EXPECT_EQ(process.exitCode(), 1) << err.toStdString();
    EXPECT_TRUE(out.contains(u"  FAIL  Out of Memory | big.c | --- | big.c.htm\n"_s)) << out.toStdString();
    EXPECT_TRUE(out.contains(u"  ok    Built OK | counter.c"_s)) << out.toStdString();
    EXPECT_TRUE(out.contains(u"2 of 2 files processed: 1 built, 1 failed."_s));
    EXPECT_EQ(ReadBytes(path(u"proj/book/big.c.htm"_s)), QByteArray("an earlier page"));
    // The single file that follows is told the same way.
    EXPECT_TRUE(err.contains(u"Out of Memory: "_s + path(u"proj/src/big.c"_s) +
                             u"\n  There was not enough memory to read it or build its page."_s))
        << err.toStdString();
    EXPECT_FALSE(err.contains(u"will close now"_s)) << err.toStdString();
}

TEST_F(CliTest, controlCharactersInNames_keepEachLogRowOnOneLine) {
    const QString name = u"two\nlines\x1b[31m.c"_s;
    write(name, kDocumented);
    const CliRun result = run({name});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(
        result.out.contains(u"  ok    Sections OK | two\\nlines\\x1b[31m.c | Counter | two\\nlines\\x1b[31m.c.htm\n"_s))
        << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(u"Page: "_s + path(u"two\\nlines\\x1b[31m.c.htm"_s)));
    EXPECT_FALSE(result.out.contains(QChar(0x1b)));
}

TEST_F(CliTest, chaptersOfOnePageName_failTheBuildAndKeepTheFirstPage) {
    write(u"proj/a/util.c"_s, kDocumented);
    write(u"proj/b/util.c"_s, QString(kDocumented).replace(u"Counter"_s, u"Other"_s));
    writeProject(u"proj/test.qdx"_s, {{u"util.c"_s, u"a/"_s}, {u"util.c"_s, u"b/"_s}});
    const CliRun result = run({u"proj/test.qdx"_s});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.out.contains(u"  ok    Built OK | util.c | Counter | util.c.htm\n"_s))
        << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(u"  FAIL  Page Name Taken | b/util.c | Page of a/util.c | util.c.htm\n"_s));
    EXPECT_TRUE(result.out.contains(u"2 of 2 files processed: 1 built, 1 failed."_s));
    EXPECT_TRUE(
        result.err.contains(u"Page Name Taken: These chapters were not built, as their page names are "
                            u"taken:\n  b/util.c: util.c.htm is the page of a/util.c"_s))
        << result.err.toStdString();
    EXPECT_TRUE(ReadBytes(path(u"proj/book/util.c.htm"_s)).contains("Counter"));
}

TEST_F(CliTest, sourceDateEpoch_makesPagesByteIdentical) {
    setPreference(prefs::kSingleFile, prefs::kLastGenerated, u" 1"_s);
    write(u"counter.c"_s, kDocumented);
    ASSERT_EQ(run({u"counter.c"_s}).exitCode, 0);
    const QByteArray first = ReadBytes(path(u"counter.c.htm"_s));
    ASSERT_EQ(run({u"counter.c"_s}).exitCode, 0);
    EXPECT_EQ(ReadBytes(path(u"counter.c.htm"_s)), first);
    // The footer really carries the stamp: another epoch, another page.
    sourceDateEpoch = u"86400"_s;
    ASSERT_EQ(run({u"counter.c"_s}).exitCode, 0);
    EXPECT_NE(ReadBytes(path(u"counter.c.htm"_s)), first);

    write(u"proj/src/counter.c"_s, kDocumented);
    writeProject(u"proj/test.qdx"_s, {{u"counter.c"_s, u"src/"_s}});
    ASSERT_EQ(run({u"proj/test.qdx"_s}).exitCode, 0);
    const auto book = snapshot(path(u"proj/book"_s));
    ASSERT_EQ(run({u"proj/test.qdx"_s}).exitCode, 0);
    EXPECT_EQ(snapshot(path(u"proj/book"_s)), book);
    sourceDateEpoch = u"1700000000"_s;
    ASSERT_EQ(run({u"proj/test.qdx"_s}).exitCode, 0);
    EXPECT_NE(snapshot(path(u"proj/book"_s)), book);
}

/// A stand-in for the HTML Help compiler, found through the preference.
void WriteFakeCompiler(const QString& folder, const QString& script) {
    testing::WriteScript(folder + u"/chmcmd"_s, script);
}

TEST_F(CliTest, helpCompiler_isWaitedForAndItsFailureReported) {
    setPreference(prefs::kProject, prefs::kCompilerPath, path(u"compiler"_s));
    write(u"proj/src/counter.c"_s, kDocumented);
    writeProject(u"proj/test.qdx"_s, {{u"counter.c"_s, u"src/"_s}}, true);

    // The compiler writes its file late: only waiting for it finds the file.
    WriteFakeCompiler(path(u"compiler"_s), u"#!/bin/sh\nsleep 1\n[ -f help.hhp ] && echo compiled > test.chm\n"_s);
    const CliRun good = run({u"proj/test.qdx"_s});
    EXPECT_EQ(good.exitCode, 0) << good.out.toStdString() << good.err.toStdString();
    EXPECT_TRUE(good.out.contains(u"  ok    > Compiled Help | help.hhp |  | test.chm\n"_s)) << good.out.toStdString();
    const QString chm = path(u"proj/book/HTML Help/test.chm"_s);
    EXPECT_TRUE(good.out.contains(u"Compiled help: "_s + chm)) << good.out.toStdString();

    // The compiled file of the good run is still there: it must not be taken for this run's.
    WriteFakeCompiler(path(u"compiler"_s), u"#!/bin/sh\necho 'Error: no topics'\nexit 3\n"_s);
    const CliRun bad = run({u"proj/test.qdx"_s});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains(u"Error: no topics"_s)) << bad.err.toStdString();
    EXPECT_TRUE(bad.out.contains(u"  FAIL  Compiler Failed (exit code 3) | help.hhp |  | ---"_s))
        << bad.out.toStdString();
    EXPECT_FALSE(bad.out.contains(u"Compiled help"_s)) << bad.out.toStdString();
    EXPECT_TRUE(QFile::exists(chm));
}

TEST_F(CliTest, interruptWhileTheCompilerHangs_endsItAndItsHelpers) {
    setPreference(prefs::kProject, prefs::kCompilerPath, path(u"compiler"_s));
    write(u"proj/src/counter.c"_s, kDocumented);
    writeProject(u"proj/test.qdx"_s, {{u"counter.c"_s, u"src/"_s}}, true);
    WriteFakeCompiler(path(u"compiler"_s), u"#!/bin/sh\nsleep 600 &\necho $! > ../pids\necho $$ >> ../pids\nwait\n"_s);
    const QString pidFile = path(u"proj/book/pids"_s);

    QProcess process;
    process.setProcessEnvironment(environment());
    process.setWorkingDirectory(root.path());
    process.start(QStringLiteral(TESSAREL_CLI_PATH), {u"proj/test.qdx"_s});
    ASSERT_TRUE(process.waitForStarted());
    for (int i = 0; i < 600 && testing::ReadPids(pidFile).size() < 2; ++i) {
        process.waitForFinished(100);
    }
    const std::vector<qint64> pids = testing::ReadPids(pidFile);
    ASSERT_EQ(pids.size(), 2u);
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(60000));
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 130) << out.toStdString();
    EXPECT_TRUE(out.contains(u"  FAIL  Compiler Cancelled | help.hhp"_s)) << out.toStdString();
    EXPECT_TRUE(testing::ProcessesEnded(pids));

    // Killed outright, the program takes the compiler with it.
    QFile::remove(pidFile);
    QProcess killed;
    killed.setProcessEnvironment(environment());
    killed.setWorkingDirectory(root.path());
    killed.start(QStringLiteral(TESSAREL_CLI_PATH), {u"proj/test.qdx"_s});
    ASSERT_TRUE(killed.waitForStarted());
    for (int i = 0; i < 600 && testing::ReadPids(pidFile).size() < 2; ++i) {
        killed.waitForFinished(100);
    }
    const std::vector<qint64> again = testing::ReadPids(pidFile);
    ASSERT_EQ(again.size(), 2u);
    killed.kill();
    ASSERT_TRUE(killed.waitForFinished(60000));
    EXPECT_TRUE(testing::ProcessesEnded({again[1]}));
    ::kill(static_cast<pid_t>(again[0]), SIGKILL);  // its helper is beyond reach
}

TEST_F(CliTest, hugeSectionName_givesALogLineOfASaneLength) {
    QString name;
    for (int i = 0; i < 20000; ++i) {
        name += u"@goto[x]"_s;
    }
    write(u"tags.c"_s, u"/* function: "_s + name + u"\n */\n"_s);
    const CliRun result = run({u"tags.c"_s});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QStringList lines = result.out.split(u'\n');
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines[0].contains(u" | "_s + name.left(200) + u"\u2026 | tags.c.htm"_s)) << lines[0].size();
    EXPECT_LT(lines[0].size(), 300);
}

TEST_F(CliTest, interrupt_stopsAtNextChapterAndStillWritesTheBook) {
    std::vector<std::pair<QString, QString>> chapters;
    QString big = kDocumented;
    for (int i = 0; i < 600; ++i) {
        big += Crlf(u"/*\n * function: f%1\n * Does *step* %1.\n */\nint f%1(int a, int b);\n\n"_s.arg(i));
    }
    for (int i = 0; i < 300; ++i) {
        const QString name = u"c%1.c"_s.arg(i);
        write(u"proj/src/"_s + name, big);
        chapters.emplace_back(name, u"src/"_s);
    }
    writeProject(u"proj/test.qdx"_s, chapters);

    QProcess process;
    process.setProcessEnvironment(environment());
    process.setWorkingDirectory(root.path());
    process.start(QStringLiteral(TESSAREL_CLI_PATH), {u"proj/test.qdx"_s});
    ASSERT_TRUE(process.waitForStarted());
    QByteArray out;
    while (!out.contains("Built OK") && process.waitForReadyRead(60000)) {
        out += process.readAllStandardOutput();
    }
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(120000));
    out += process.readAllStandardOutput();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 130) << out.constData();
    EXPECT_TRUE(out.contains(" of 300 files processed")) << out.constData();
    EXPECT_TRUE(out.contains("build interrupted")) << out.constData();
    EXPECT_FALSE(out.contains("300 of 300")) << out.constData();
    EXPECT_TRUE(QFile::exists(path(u"proj/book/index.htm"_s)));
}

}  // namespace
}  // namespace tessarel
