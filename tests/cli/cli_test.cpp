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
#include "support/testing.h"

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
        Preferences(path(QStringLiteral("config/Tessarel/Tessarel.conf"))).WritePreference(section, key, value);
    }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("data")));
        env.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
        env.insert(QStringLiteral("SOURCE_DATE_EPOCH"), sourceDateEpoch);
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
        QStringList lines = {QStringLiteral("<?xml version=\"1.0\"?>"),
                             QStringLiteral("<TessarelProject>"),
                             QStringLiteral("<FileVer>1.0</FileVer>"),
                             QStringLiteral("<Settings>"),
                             QStringLiteral(" <IncludeLastGenerated>True</IncludeLastGenerated>"),
                             QStringLiteral(" <GenerateHtmlHelpFiles>") +
                                 (htmlHelp ? QStringLiteral("True") : QStringLiteral("False")) +
                                 QStringLiteral("</GenerateHtmlHelpFiles>"),
                             QStringLiteral("</Settings>"),
                             QStringLiteral("<RelDestPath>book/</RelDestPath>"),
                             QStringLiteral("<Book>"),
                             QStringLiteral(" <IndexTitle>Test Book</IndexTitle>"),
                             QStringLiteral(" <NumberOfChapters>") + QString::number(chapters.size()) +
                                 QStringLiteral("</NumberOfChapters>")};
        for (const auto& [name, folder] : chapters) {
            lines << QStringLiteral("<C><N>") + name + QStringLiteral("</N><R>") + folder + QStringLiteral("</R></C>");
        }
        lines << QStringLiteral("</Book>") << QStringLiteral("</TessarelProject>");
        write(relative, lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n\r\n"));
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
    QString sourceDateEpoch = QStringLiteral("1700000000");
};

TEST_F(CliTest, helpVersionAndUsageErrors) {
    const CliRun help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("FILE..."))) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(QStringLiteral("--version")));

    const CliRun version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.trimmed(), QStringLiteral("tessarel-cli " TESSAREL_VERSION));

    EXPECT_EQ(run({}).exitCode, 2);
    const CliRun unknown = run({QStringLiteral("--frobnicate"), QStringLiteral("x.c")});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("frobnicate")));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("x.c.htm"))));
}

TEST_F(CliTest, documentedFile_buildsPageBesideIt) {
    write(QStringLiteral("src/counter.c"), kDocumented);
    const CliRun result = run({QStringLiteral("src/counter.c")});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(QStringLiteral("  ok    Sections OK | counter.c | Counter | counter.c.htm")))
        << result.out.toStdString();
    const QString page = path(QStringLiteral("src/counter.c.htm"));
    EXPECT_TRUE(result.out.contains(QStringLiteral("Page: ") + page)) << result.out.toStdString();
    const QByteArray html = ReadBytes(page);
    EXPECT_TRUE(html.contains("count_up")) << html.constData();
    EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();
}

TEST_F(CliTest, fileWithoutSectionsMissingOrUnreadable_failWithStatusOne) {
    write(QStringLiteral("plain.c"), Crlf(QStringLiteral("int main(void) { return 0; }\n")));
    const CliRun plain = run({QStringLiteral("plain.c")});
    EXPECT_EQ(plain.exitCode, 1);
    EXPECT_TRUE(plain.out.contains(QStringLiteral("  FAIL  No Sections Declared | plain.c | No Sections Defined")))
        << plain.out.toStdString();
    EXPECT_TRUE(ReadBytes(path(QStringLiteral("plain.c.htm"))).contains("There are no Sections defined in this file"));

    const CliRun missing = run({QStringLiteral("gone.c")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("File not found: File does not exist.")))
        << missing.err.toStdString();

    // A folder passes the existence test but cannot be read as a file.
    QDir().mkpath(path(QStringLiteral("folder.c")));
    const CliRun unreadable = run({QStringLiteral("folder.c")});
    EXPECT_EQ(unreadable.exitCode, 1) << unreadable.out.toStdString();
    EXPECT_TRUE(unreadable.err.contains(QStringLiteral("Could not read"))) << unreadable.err.toStdString();

    // The worst file decides; the good one is still built.
    write(QStringLiteral("counter.c"), kDocumented);
    const CliRun mixed = run({QStringLiteral("counter.c"), QStringLiteral("gone.c")});
    EXPECT_EQ(mixed.exitCode, 1);
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("counter.c.htm"))));
}

TEST_F(CliTest, htmlSource_countsAsBuiltAndIsItsOwnPage) {
    write(QStringLiteral("about.htm"), QStringLiteral("<html><body>About</body></html>"));
    const CliRun result = run({QStringLiteral("about.htm")});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(QStringLiteral("  ok    Not Built: HTML File | about.htm | about.htm")))
        << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(QStringLiteral("Page: ") + path(QStringLiteral("about.htm"))));
    EXPECT_EQ(ReadBytes(path(QStringLiteral("about.htm"))), QByteArray("<html><body>About</body></html>"));
}

TEST_F(CliTest, projectWithMissingChapter_buildsTheRestAndFails) {
    write(QStringLiteral("proj/src/counter.c"), kDocumented);
    writeProject(QStringLiteral("proj/test.qdx"), {{QStringLiteral("counter.c"), QStringLiteral("src/")},
                                                   {QStringLiteral("lost.c"), QStringLiteral("src/")}});
    const CliRun result = run({QStringLiteral("proj/test.qdx")});
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(QStringLiteral("  ok    Built OK | counter.c | Counter | counter.c.htm")))
        << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(QStringLiteral("  FAIL  Missing File | lost.c | --- | ---")));
    EXPECT_TRUE(result.out.contains(QStringLiteral("2 of 2 files processed: 1 built, 1 failed.")));
    const QString book = path(QStringLiteral("proj/book/"));
    EXPECT_TRUE(result.out.contains(QStringLiteral("Book: ") + book + QStringLiteral("index.htm")))
        << result.out.toStdString();
    EXPECT_TRUE(QFile::exists(book + QStringLiteral("counter.c.htm")));
    EXPECT_TRUE(ReadBytes(book + QStringLiteral("lost.c.htm")).contains("File not found"));
}

TEST_F(CliTest, completeProject_succeeds) {
    write(QStringLiteral("proj/src/counter.c"), kDocumented);
    write(QStringLiteral("proj/src/notes.htm"), QStringLiteral("<html><body>Notes</body></html>"));
    writeProject(QStringLiteral("proj/test.qdx"), {{QStringLiteral("counter.c"), QStringLiteral("src/")},
                                                   {QStringLiteral("notes.htm"), QStringLiteral("src/")}});
    const CliRun result = run({QStringLiteral("proj/test.qdx")});
    EXPECT_EQ(result.exitCode, 0) << result.out.toStdString() << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(QStringLiteral("2 of 2 files processed: 2 built, 0 failed.")));
    EXPECT_TRUE(result.out.contains(QStringLiteral("> HTML TOC")));  // the side pages are logged too
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("proj/book/notes.htm"))));
}

TEST_F(CliTest, unreadableProject_isAUsageError) {
    const CliRun missing = run({QStringLiteral("nowhere.qdx")});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("Project not found"))) << missing.err.toStdString();

    QDir().mkpath(path(QStringLiteral("folder.qdx")));
    EXPECT_EQ(run({QStringLiteral("folder.qdx")}).exitCode, 2);
}

TEST_F(CliTest, sourceDateEpoch_makesPagesByteIdentical) {
    setPreference(prefs::kSingleFile, prefs::kLastGenerated, QStringLiteral(" 1"));
    write(QStringLiteral("counter.c"), kDocumented);
    ASSERT_EQ(run({QStringLiteral("counter.c")}).exitCode, 0);
    const QByteArray first = ReadBytes(path(QStringLiteral("counter.c.htm")));
    ASSERT_EQ(run({QStringLiteral("counter.c")}).exitCode, 0);
    EXPECT_EQ(ReadBytes(path(QStringLiteral("counter.c.htm"))), first);
    // The footer really carries the stamp: another epoch, another page.
    sourceDateEpoch = QStringLiteral("86400");
    ASSERT_EQ(run({QStringLiteral("counter.c")}).exitCode, 0);
    EXPECT_NE(ReadBytes(path(QStringLiteral("counter.c.htm"))), first);

    write(QStringLiteral("proj/src/counter.c"), kDocumented);
    writeProject(QStringLiteral("proj/test.qdx"), {{QStringLiteral("counter.c"), QStringLiteral("src/")}});
    ASSERT_EQ(run({QStringLiteral("proj/test.qdx")}).exitCode, 0);
    const auto book = snapshot(path(QStringLiteral("proj/book")));
    ASSERT_EQ(run({QStringLiteral("proj/test.qdx")}).exitCode, 0);
    EXPECT_EQ(snapshot(path(QStringLiteral("proj/book"))), book);
    sourceDateEpoch = QStringLiteral("1700000000");
    ASSERT_EQ(run({QStringLiteral("proj/test.qdx")}).exitCode, 0);
    EXPECT_NE(snapshot(path(QStringLiteral("proj/book"))), book);
}

/// A stand-in for the HTML Help compiler, found through the preference.
void WriteFakeCompiler(const QString& folder, const QString& script) {
    const QString file = folder + QStringLiteral("/chmcmd");
    WriteBytes(file, script.toUtf8());
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(CliTest, helpCompiler_isWaitedForAndItsFailureReported) {
    setPreference(prefs::kProject, prefs::kCompilerPath, path(QStringLiteral("compiler")));
    write(QStringLiteral("proj/src/counter.c"), kDocumented);
    writeProject(QStringLiteral("proj/test.qdx"), {{QStringLiteral("counter.c"), QStringLiteral("src/")}}, true);

    // The compiler writes its file late: only waiting for it finds the file.
    WriteFakeCompiler(path(QStringLiteral("compiler")),
                      QStringLiteral("#!/bin/sh\nsleep 1\n[ -f help.hhp ] && echo compiled > test.chm\n"));
    const CliRun good = run({QStringLiteral("proj/test.qdx")});
    EXPECT_EQ(good.exitCode, 0) << good.out.toStdString() << good.err.toStdString();
    EXPECT_TRUE(good.out.contains(QStringLiteral("Running ") + path(QStringLiteral("compiler/chmcmd help.hhp"))));
    const QString chm = path(QStringLiteral("proj/book/HTML Help/test.chm"));
    EXPECT_TRUE(good.out.contains(QStringLiteral("Compiled help: ") + chm)) << good.out.toStdString();

    QFile::remove(chm);
    WriteFakeCompiler(path(QStringLiteral("compiler")), QStringLiteral("#!/bin/sh\necho 'Error: no topics'\nexit 3\n"));
    const CliRun bad = run({QStringLiteral("proj/test.qdx")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("Error: no topics"))) << bad.err.toStdString();
    EXPECT_TRUE(bad.out.contains(QStringLiteral("exit code 3"))) << bad.out.toStdString();
}

TEST_F(CliTest, interrupt_stopsAtNextChapterAndStillWritesTheBook) {
    std::vector<std::pair<QString, QString>> chapters;
    QString big = kDocumented;
    for (int i = 0; i < 600; ++i) {
        big += Crlf(QStringLiteral("/*\n * function: f%1\n * Does *step* %1.\n */\nint f%1(int a, int b);\n\n").arg(i));
    }
    for (int i = 0; i < 300; ++i) {
        const QString name = QStringLiteral("c%1.c").arg(i);
        write(QStringLiteral("proj/src/") + name, big);
        chapters.emplace_back(name, QStringLiteral("src/"));
    }
    writeProject(QStringLiteral("proj/test.qdx"), chapters);

    QProcess process;
    process.setProcessEnvironment(environment());
    process.setWorkingDirectory(root.path());
    process.start(QStringLiteral(TESSAREL_CLI_PATH), {QStringLiteral("proj/test.qdx")});
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
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("proj/book/index.htm"))));
}

}  // namespace
}  // namespace tessarel
