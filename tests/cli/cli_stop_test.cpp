// tessarel-cli stopped from outside: SIGTERM as Ctrl+C, SIGKILL at any point,
// and a second build of the same destination. Whatever happens, every page is
// whole, and the next build finds nothing of the stopped one in its way.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>

#include "support/testing.h"

using namespace Qt::Literals::StringLiterals;

namespace tessarel {
namespace {

using testing::Crlf;
using testing::ReadBytes;
using testing::WriteBytes;

class CliStop : public ::testing::Test {
protected:
    CliStop() {
        QString big = Crlf(u"/*\n * module: Counter\n * Counts things.\n */\n\n"_s);
        for (int i = 0; i < 600; ++i) {
            big += Crlf(u"/*\n * function: f%1\n * Does *step* %1.\n */\nint f%1(int a, int b);\n\n"_s.arg(i));
        }
        QString project =
            u"<?xml version=\"1.0\"?>\r\n<TessarelProject>\r\n<FileVer>1.0</FileVer>\r\n"
            "<RelDestPath>book/</RelDestPath>\r\n<Book>\r\n <NumberOfChapters>%1</NumberOfChapters>\r\n"_s.arg(
                kChapters);
        for (int i = 0; i < kChapters; ++i) {
            const QString name = u"c%1.c"_s.arg(i);
            WriteBytes(path(u"proj/src/"_s + name), big.toUtf8());
            project += u"<C><N>%1</N><R>src/</R></C>\r\n"_s.arg(name);
        }
        WriteBytes(path(u"proj/test.qdx"_s), (project + u"</Book>\r\n</TessarelProject>\r\n\r\n"_s).toUtf8());
        book = path(u"proj/book/"_s);
    }

    QString path(const QString& relative) const { return root.path() + QLatin1Char('/') + relative; }

    void start(QProcess& process) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_CONFIG_HOME"_s, path(u"config"_s));
        env.insert(u"XDG_DATA_HOME"_s, path(u"data"_s));
        env.insert(u"HOME"_s, path(u"home"_s));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(root.path());
        process.start(QStringLiteral(TESSAREL_CLI_PATH), {u"proj/test.qdx"_s});
        ASSERT_TRUE(process.waitForStarted());
    }

    /// Reads the build's log until `lines` chapters are built.
    static QByteArray waitForBuilt(QProcess& process, int lines) {
        QByteArray out;
        while (out.count("Built OK") < lines && process.waitForReadyRead(60000)) {
            out += process.readAllStandardOutput();
        }
        return out;
    }

    /// The names in the book folder and its help folder that a build leaves
    /// only while it runs.
    QStringList buildFilesLeft() const {
        QStringList left;
        QDirIterator it(book, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString name = QFileInfo(it.next()).fileName();
            if (name.endsWith(u".tessarel-new"_s) || name.startsWith(u".tessarel-lock"_s)) {
                left << name;
            }
        }
        return left;
    }

    static constexpr int kChapters = 200;
    QTemporaryDir root;
    QString book;
};

TEST_F(CliStop, sigtermStopsAtTheNextChapterLikeCtrlC) {
    QProcess process;
    start(process);
    QByteArray out = waitForBuilt(process, 1);
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(120000));
    out += process.readAllStandardOutput();

    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 143) << out.constData();
    EXPECT_TRUE(out.contains("build interrupted")) << out.constData();
    EXPECT_FALSE(out.contains("200 of 200")) << out.constData();
    EXPECT_TRUE(ReadBytes(book + u"index.htm"_s).contains("frameset"));
    EXPECT_EQ(buildFilesLeft(), QStringList());
}

TEST_F(CliStop, aKilledBuildLeavesWholePagesAndTheNextBuildTidiesUp) {
    QProcess killed;
    start(killed);
    waitForBuilt(killed, 3);
    ::kill(static_cast<pid_t>(killed.processId()), SIGKILL);
    ASSERT_TRUE(killed.waitForFinished(60000));

    // The lock and the contents page growing beside its place are left.
    EXPECT_TRUE(buildFilesLeft().contains(u".tessarel-lock"_s)) << buildFilesLeft().join(u' ').toStdString();
    EXPECT_GE(buildFilesLeft().size(), 2);
    for (const QFileInfo& page : QDir(book).entryInfoList({u"*.htm"_s}, QDir::Files)) {
        EXPECT_TRUE(ReadBytes(page.filePath()).endsWith("</html>\r\n\r\n")) << page.fileName().toStdString();
    }

    QProcess next;
    start(next);
    ASSERT_TRUE(next.waitForFinished(600000));
    const QByteArray out = next.readAllStandardOutput();
    EXPECT_EQ(next.exitCode(), 0) << out.constData() << next.readAllStandardError().constData();
    EXPECT_TRUE(out.contains("200 of 200 files processed: 200 built, 0 failed.")) << out.constData();
    EXPECT_EQ(buildFilesLeft(), QStringList());
}

TEST_F(CliStop, aSecondBuildOfTheSameDestinationStopsAtOnce) {
    QProcess first;
    start(first);
    waitForBuilt(first, 1);
    // Held still part way, so the second build surely meets it.
    ::kill(static_cast<pid_t>(first.processId()), SIGSTOP);

    QProcess second;
    start(second);
    ASSERT_TRUE(second.waitForFinished(60000));
    const QString err = QString::fromUtf8(second.readAllStandardError());
    const QString out = QString::fromUtf8(second.readAllStandardOutput());
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_TRUE(err.contains(u"Destination in use: Another build is writing to this folder:"_s)) << err.toStdString();
    EXPECT_TRUE(err.contains(u"process "_s + QString::number(first.processId()))) << err.toStdString();
    EXPECT_FALSE(out.contains(u"Built OK"_s)) << out.toStdString();
    EXPECT_FALSE(out.contains(u"files processed"_s)) << out.toStdString();

    ::kill(static_cast<pid_t>(first.processId()), SIGINT);
    ::kill(static_cast<pid_t>(first.processId()), SIGCONT);
    ASSERT_TRUE(first.waitForFinished(120000));
    EXPECT_EQ(first.exitCode(), 130);
    EXPECT_EQ(buildFilesLeft(), QStringList());
}

}  // namespace
}  // namespace tessarel
