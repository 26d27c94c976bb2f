#include "cli/console_user_interface.h"

#include <QProcess>
#include <QTime>
#include <algorithm>

#include "cli/interrupt.h"

namespace tessarel::cli {

namespace {

/// Message texts carry CR LF between their lines; a terminal wants one line
/// per line, indented under the title.
QString ConsoleLines(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\n'), QStringLiteral("\n  "));
    return lines;
}

}  // namespace

QString OneLine(const QString& text) {
    const auto isControl = [](QChar c) { return c != u'\t' && c.category() == QChar::Other_Control; };
    if (std::none_of(text.cbegin(), text.cend(), isControl)) {
        return text;
    }
    QString line;
    line.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (!isControl(c)) {
            line += c;
        } else if (c == u'\n') {
            line += QStringLiteral("\\n");
        } else if (c == u'\r') {
            line += QStringLiteral("\\r");
        } else {
            line += QStringLiteral("\\x") + QString::number(c.unicode(), 16).rightJustified(2, u'0');
        }
    }
    return line;
}

MessageAnswer ConsoleUserInterface::message(const QString& title, const QString& text, MessageIcon,
                                            MessageButtons buttons) {
    console_.err(title + QStringLiteral(": ") + ConsoleLines(text));
    return (buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel) ? MessageAnswer::Yes
                                                                                        : MessageAnswer::Ok;
}

void ConsoleUserInterface::AddItem(const QString& reason, const QString& item, bool status, const QString& title,
                                   const QString& output) {
    // The progress window's columns: time, reason, input file, chapter title,
    // output file; its row icon becomes "ok" or "FAIL".
    const QString separator = QStringLiteral(" | ");
    console_.out(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) +
                 (status ? QStringLiteral("  ok    ") : QStringLiteral("  FAIL  ")) + OneLine(reason) + separator +
                 OneLine(item) + separator + OneLine(title) + separator + OneLine(output));
    progressValue_ = 0;
}

void ConsoleUserInterface::SetProgressMax(int max) { progressMax_ = max; }

void ConsoleUserInterface::ResetProgress() { progressValue_ = 0; }

void ConsoleUserInterface::AddProgress() {
    if (progressValue_ < progressMax_) {
        ++progressValue_;
        showProgress();
    }
}

void ConsoleUserInterface::setProgressCaption(const QString& caption) {
    caption_ = OneLine(caption);
    showProgress();
}

bool ConsoleUserInterface::cancelRequested() const { return cancel_ || Interrupted(); }

void ConsoleUserInterface::shellOpen(const QString& target) {
    console_.err(QStringLiteral("Not opened (console): ") + target);
}

void ConsoleUserInterface::showHelpTopic(const QString& helpPath) {
    console_.err(QStringLiteral("See the help topic ") + helpPath);
}

bool ConsoleUserInterface::startProgram(const QString& program, const QStringList& arguments,
                                        const QString& workingFolder) {
    ProgramRun run{program, arguments, workingFolder};
    const QString commandLine = (QStringList{program} + arguments).join(QLatin1Char(' '));
    console_.out(QStringLiteral("Running ") + commandLine + QStringLiteral(" in ") + workingFolder);

    // The window starts the compiler and goes on; a console run is only over
    // when the compiled file is, so wait for it.
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(workingFolder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start();
    run.started = process.waitForStarted();
    if (run.started) {
        process.waitForFinished(-1);
        run.exitCode = process.exitCode();
        run.succeeded = process.exitStatus() == QProcess::NormalExit && run.exitCode == 0;
        if (!run.succeeded) {
            // Its own report is the only useful explanation of a failure.
            console_.err(QString::fromLocal8Bit(process.readAll()).trimmed());
        }
    }
    if (!run.started) {
        console_.err(QStringLiteral("Could not start ") + program + QStringLiteral(": ") + process.errorString());
    } else if (process.exitStatus() != QProcess::NormalExit) {
        console_.err(program + QStringLiteral(" crashed"));
    } else {
        console_.out(program + QStringLiteral(" finished with exit code ") + QString::number(run.exitCode));
    }
    programRuns_.push_back(run);
    return run.started;
}

void ConsoleUserInterface::buildFinished(bool) {
    caption_.clear();
    drawnCaption_.clear();
    console_.clearProgress();
}

void ConsoleUserInterface::showProgress() {
    if (!console_.live() || caption_.isEmpty()) {
        return;
    }
    // A terminal redraw per parser step would cost more than the step.
    const bool newCaption = caption_ != drawnCaption_;
    if (!newCaption && redrawClock_.isValid() && redrawClock_.elapsed() < kRedrawIntervalMs) {
        return;
    }
    redrawClock_.start();
    drawnCaption_ = caption_;
    QString line = caption_;
    if (progressValue_ > 0 && progressMax_ > 0) {
        line += QStringLiteral("  ") + QString::number(progressValue_ * 100 / progressMax_) + QLatin1Char('%');
    }
    console_.progress(line);
}

}  // namespace tessarel::cli
