#include "book/html_help_compiler.h"

#include <QDateTime>
#include <QFileInfo>
#include <QStandardPaths>

#include "support/environment.h"
#include "support/error_report.h"
#include "support/paths.h"
#include "support/preferences.h"

namespace tessarel {

QString HtmlHelpCompilerName() {
#ifdef Q_OS_WIN
    return QStringLiteral("hhc.exe");
#else
    return QStringLiteral("chmcmd");
#endif
}

namespace {

/// The compiler in the folder of the preference "htmlHelpCompilerPath", else on
/// the PATH; "" when there is none.
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

}  // namespace

std::chrono::milliseconds CompilerTimeLimit::forBook(qint64 pages, qint64 bytes) const {
    constexpr qint64 kMegabyte = 1 << 20;
    return base + perPage * pages + perMegabyte * ((bytes + kMegabyte - 1) / kMegabyte);
}

namespace {

/// What identifies one writing of a file: a compiled file left by an earlier
/// build must not pass for this build's.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile()) {
        return {};
    }
    return {true, info.size(), info.lastModified()};
}

}  // namespace

CompileOutcome CompileHtmlHelp(Environment& env, const QString& helpFolder, const QString& compiledName,
                               const HelpBookSize& book, const CompilerTimeLimit& limit) {
    CompileOutcome outcome;
    const QString folder = WithTrailingSeparator(helpFolder);
    outcome.compiledFile = folder + compiledName;
    qint64 bytes = book.pageBytes;
    for (const char* file : {"help.hhp", "index.hhk", "contents.hhc"}) {
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
        env.ui.showHelpTopic(ProgramFolderFile(env.paths, QStringLiteral("help.chm::/html_help.txt.htm")));
        return outcome;
    }
    outcome.run.timeLimit = limit.forBook(book.pages, bytes);
    if (env.ui.cancelRequested()) {
        // A stopped build does not go on to a long compile.
        outcome.run.end = ProgramEnd::Cancelled;
        return outcome;
    }
    const FileStamp before = StampOf(outcome.compiledFile);
    outcome.run =
        RunProgram(env.ui, compiler, {QStringLiteral("help.hhp")}, helpFolder, outcome.run.timeLimit, limit.grace);
    const FileStamp after = StampOf(outcome.compiledFile);
    outcome.compiled = outcome.run.succeeded() && after.exists && after.size > 0 && !(after == before);
    return outcome;
}

CompilerMessages CountCompilerMessages(const QByteArray& output) {
    CompilerMessages messages;
    for (const QByteArray& rawLine : output.split('\n')) {
        const QByteArray line = rawLine.trimmed().toLower();
        auto reports = [&](const char* word) {
            const QByteArray prefix(word);
            return line.startsWith(prefix) && line.size() > prefix.size() &&
                   (line.at(prefix.size()) == ':' || line.at(prefix.size()) == ' ');
        };
        if (reports("error") || reports("fatal error")) {
            ++messages.errors;
        } else if (reports("warning")) {
            ++messages.warnings;
        }
    }
    return messages;
}

QString CompiledHelpReason(const CompilerMessages& messages) {
    QString reason = QStringLiteral("> Compiled Help");
    if (messages.errors == 0 && messages.warnings == 0) {
        return reason;
    }
    auto count = [](int n, const char* one, const char* many) {
        return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
    };
    return reason + QStringLiteral(": ") + count(messages.errors, "Error", "Errors") + QStringLiteral(", ") +
           count(messages.warnings, "Warning", "Warnings");
}

QString CompileFailureReason(const CompileOutcome& outcome) {
    const ProgramRun& run = outcome.run;
    switch (run.end) {
    case ProgramEnd::NotStarted:
        return QStringLiteral("Compiler Not Started: ") + run.startError;
    case ProgramEnd::Finished:
        return run.exitCode != 0
                   ? QStringLiteral("Compiler Failed (exit code ") + QString::number(run.exitCode) + QLatin1Char(')')
                   : QStringLiteral("Compiler Wrote No File");
    case ProgramEnd::Crashed:
        return QStringLiteral("Compiler Crashed");
    case ProgramEnd::TimedOut:
        return QStringLiteral("Compiler Timed Out (") + QString::number((run.timeLimit.count() + 999) / 1000) +
               QStringLiteral(" s)");
    case ProgramEnd::Cancelled:
        return QStringLiteral("Compiler Cancelled");
    }
    return QString();
}

}  // namespace tessarel
