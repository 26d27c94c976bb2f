#include "book/help_compiler_messages.h"

namespace tessarel {

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

QString CompiledHelpReason(const CompilerMessages& messages, bool unchanged) {
    const QString reason = unchanged ? QStringLiteral("> Compiled Help Unchanged") : QStringLiteral("> Compiled Help");
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
