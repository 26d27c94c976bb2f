#include "book/help_compiler_run.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "book/chm_stamps.h"
#include "book/help_staging.h"
#include "support/environment.h"
#include "support/error_report.h"
#include "support/paths.h"
#include "support/preferences.h"
#include "support/user_interface.h"

namespace tessarel {

QString HtmlHelpCompilerName() {
#ifdef Q_OS_WIN
    return QStringLiteral("hhc.exe");
#else
    return QStringLiteral("chmcmd");
#endif
}

QString FindHtmlHelpCompiler(const Environment& env) {
    const QString name = HtmlHelpCompilerName();
    const QString folder = NativeSeparators(
        env.preferences.ReadPreference(prefs::kProject, prefs::kCompilerPath, prefs::DefaultCompilerPath()));
    // An empty folder would turn the name into a path relative to the current folder.
    if (!folder.isEmpty()) {
        const QFileInfo configured(WithTrailingSeparator(folder) + name);
        if (configured.isFile() && configured.isExecutable()) {
            return configured.filePath();
        }
    }
    return QStandardPaths::findExecutable(name);
}

std::chrono::milliseconds CompilerTimeLimit::forBook(qint64 pages, qint64 bytes) const {
    constexpr qint64 kMegabyte = 1 << 20;
    return base + perPage * pages + perMegabyte * ((bytes + kMegabyte - 1) / kMegabyte);
}

CompileOutcome CompileHtmlHelp(Environment& env, const QString& helpFolder, const QString& compiledName,
                               const HelpBookSize& book, const CompilerTimeLimit& limit, qint64 largestFile) {
    CompileOutcome outcome;
    const QString folder = WithTrailingSeparator(helpFolder);
    outcome.compiledFile = folder + compiledName;
    qint64 bytes = book.pageBytes;
    for (const char* file : kHelpProjectFiles) {
        const QFileInfo info(folder + QString::fromLatin1(file));
        if (!info.isFile()) {
            return outcome;
        }
        bytes += info.size();
    }
    const QString compiler = FindHtmlHelpCompiler(env);
    if (compiler.isEmpty()) {
        outcome.compilerMissing = true;
        ShowMessage(env.ui, QStringLiteral("HTML Help Compiler Not Found"),
                    QStringLiteral("The HTML Help Workshop has not been found. Please") +
                        QStringLiteral(" specify the installation path for this application") +
                        QStringLiteral(" in the Settings dialog, or download and install the") +
                        QStringLiteral(" application as explained in the next help screen."));
        outcome.helpTopic = ProgramFolderFile(env.paths, QStringLiteral("help.chm::/html_help.txt.htm"));
        return outcome;
    }
    outcome.run.timeLimit = limit.forBook(book.pages, bytes);
    if (env.ui.cancelRequested()) {
        // A stopped build does not go on to a long compile.
        outcome.run.end = ProgramEnd::Cancelled;
        return outcome;
    }
    QTemporaryDir staging(QDir::tempPath() + QStringLiteral("/tessarel-help-XXXXXX"));
    const Staging copied =
        staging.isValid() ? StageHelpProject(env.ui, helpFolder, staging.path(), largestFile) : Staging::Failed;
    if (copied == Staging::Cancelled) {
        outcome.run.end = ProgramEnd::Cancelled;
        return outcome;
    }
    if (copied == Staging::Failed) {
        outcome.run.startError = QStringLiteral("the help project could not be copied to ") + QDir::tempPath();
        return outcome;
    }
    bool ok = false;
    const qint64 epoch = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&ok);
    QString program = compiler;
    QStringList arguments{QStringLiteral("help.hhp")};
#ifdef Q_OS_LINUX
    // The compiler writes a few bytes that follow its memory layout: a fixed
    // layout makes a reproducible build give the same compiled file.
    // Some sandboxes refuse the fixed layout: then compile as usual.
    const QString fixedLayout = QStandardPaths::findExecutable(QStringLiteral("setarch"));
    if (ok && !fixedLayout.isEmpty() &&
        QProcess::execute(fixedLayout, {QStringLiteral("-R"), QStringLiteral("true")}) == 0) {
        arguments.prepend(compiler);
        arguments.prepend(QStringLiteral("-R"));
        program = fixedLayout;
    }
#endif
    outcome.run = RunProgram(env.ui, program, arguments, staging.path(), outcome.run.timeLimit, limit.grace);
    const QString staged = QDir(staging.path()).filePath(compiledName);
    const QFileInfo result(staged);
    if (!outcome.run.succeeded() || !result.isFile() || result.size() == 0) {
        return outcome;
    }
    if (ok) {
        SetCompiledHelpStamps(staged, epoch);
    }
    QFile::remove(outcome.compiledFile);
    outcome.compiled = QFile::rename(staged, outcome.compiledFile);
    return outcome;
}

}  // namespace tessarel
