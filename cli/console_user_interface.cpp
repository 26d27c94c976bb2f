#include "cli/console_user_interface.h"

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

/// The row's icon as the console shows it, in a column of even width.
QString StatusColumn(RowStatus status) {
    switch (status) {
    case RowStatus::Ok:
        return QStringLiteral("  ok    ");
    case RowStatus::Warning:
        return QStringLiteral("  WARN  ");
    case RowStatus::Failed:
        break;
    }
    return QStringLiteral("  FAIL  ");
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

void ConsoleUserInterface::showLogRow(const QString& reason, const QString& item, RowStatus status,
                                      const QString& title, const QString& output) {
    failedRows_ += status == RowStatus::Failed ? 1 : 0;
    if (failedRowsOnly_ && status != RowStatus::Failed) {
        progressValue_ = 0;
        return;
    }
    // The progress window's columns: time, reason, input file, chapter title,
    // output file; its row icon becomes "ok" or "FAIL".
    const QString separator = QStringLiteral(" | ");
    console_.out(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) + StatusColumn(status) + OneLine(reason) +
                 separator + OneLine(item) + separator + OneLine(title) + separator + OneLine(output));
    progressValue_ = 0;
}

void ConsoleUserInterface::addLogText(const QString& text) {
    // Under the row it explains, indented so the rows stay easy to scan.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    while (lines.endsWith(QLatin1Char('\n'))) {
        lines.chop(1);
    }
    for (const QString& line : lines.split(QLatin1Char('\n'))) {
        console_.out(QStringLiteral("          ") + OneLine(line));
    }
}

void ConsoleUserInterface::setProgressMaximum(int max) { progressMax_ = max; }

void ConsoleUserInterface::resetProgress() { progressValue_ = 0; }

void ConsoleUserInterface::advanceProgress() {
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

void ConsoleUserInterface::showHelpTopic(const QString& helpPath) {
    console_.err(QStringLiteral("See the help topic ") + helpPath);
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
