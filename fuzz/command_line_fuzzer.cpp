// The command-line parser and the path rules of its first parameter on any
// text. The options found are checked against an independent description of
// an option: "-" after a blank, letters and digits, and a blank.

#include "app/command_line.h"
#include "fuzz/fuzz_support.h"
#include "support/paths.h"
#include "support/string_functions.h"

#include <QRegularExpression>

using namespace tessarel;
using namespace tessarel::fuzz;
using namespace Qt::Literals::StringLiterals;

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

/// 1-based, inclusive; "" for an empty or reversed range.
QString Range(const QString& text, qsizetype start, qsizetype end) {
    return end < start ? QString() : text.mid(start - 1, end - start + 1);
}

void CheckParse(const QString& text) {
    CommandLine line;
    line.parse(text);
    if (text.isEmpty()) {
        TESSAREL_FUZZ_CHECK(line.ParameterCount == -1 && line.firstParameter().isEmpty());
        return;
    }
    const QString& parsed = line.CommandLineText;
    TESSAREL_FUZZ_CHECK(parsed == TrimSpaces(text) + QString(20, u' '));
    TESSAREL_FUZZ_CHECK(line.ParameterCount >= 0 && line.ParameterCount <= CommandLine::kMaxOptions);
    const qsizetype length = parsed.size();

    static const QRegularExpression option(u"(?<=[ \\t])-([A-Za-z0-9]+)(?=[ \\t])"_s);
    QList<qsizetype> starts;
    for (auto match = option.globalMatch(parsed); match.hasNext();) {
        starts.append(match.next().capturedStart(1) + 1);
    }
    TESSAREL_FUZZ_CHECK(
        line.ParameterCount == std::min<qsizetype>(starts.size(), CommandLine::kMaxOptions),
        QStringLiteral("%1 options recorded, %2 in the text").arg(line.ParameterCount).arg(starts.size()));

    const CommandLineParameter& first = line.Parameters[0];
    TESSAREL_FUZZ_CHECK(first.ParamName == u"@first"_s && first.ValueStart == 1);
    TESSAREL_FUZZ_CHECK(first.ValueEnd >= 0 && first.ValueEnd <= length);
    TESSAREL_FUZZ_CHECK(text.contains(line.firstParameter()), u"first parameter not in the text"_s);
    TESSAREL_FUZZ_CHECK(line.firstParameter() == TrimSpaces(line.firstParameter()));

    for (int i = 1; i <= CommandLine::kMaxOptions; ++i) {
        const CommandLineParameter& p = line.Parameters[static_cast<size_t>(i)];
        if (i > line.ParameterCount) {
            TESSAREL_FUZZ_CHECK(p.ParamName.isEmpty() && p.ParamValue.isEmpty() && p.NameStart == 0);
            continue;
        }
        TESSAREL_FUZZ_CHECK(p.NameStart == starts[i - 1]);
        TESSAREL_FUZZ_CHECK(p.NameStart >= 3 && p.NameStart <= p.NameEnd && p.NameEnd < length);
        TESSAREL_FUZZ_CHECK(parsed.at(p.NameStart - 2) == u'-' && IsBlank(parsed.at(p.NameStart - 3)));
        TESSAREL_FUZZ_CHECK(IsBlank(parsed.at(p.NameEnd)));
        TESSAREL_FUZZ_CHECK(p.ParamName == Range(parsed, p.NameStart, p.NameEnd));
        TESSAREL_FUZZ_CHECK(p.ValueStart == p.NameEnd + 1 && p.ValueEnd <= length);
        // A value never runs into the next option, given or ignored.
        const qsizetype nextStart = i < starts.size() ? starts[i] : length + 2;
        TESSAREL_FUZZ_CHECK(p.ValueEnd == nextStart - 2, QStringLiteral("option %1 value end").arg(i));
        TESSAREL_FUZZ_CHECK(p.ParamValue == TrimSpaces(Range(parsed, p.ValueStart, p.ValueEnd)));
        TESSAREL_FUZZ_CHECK(line.isOptionPresent(u' ' + p.ParamName + u' '));
    }
    TESSAREL_FUZZ_CHECK(!line.isOptionPresent(QString()));
    TESSAREL_FUZZ_CHECK(!line.isOptionPresent(u"@first"_s));

    line.clear();
    TESSAREL_FUZZ_CHECK(line.ParameterCount == 0 && line.CommandLineText.isEmpty() && line.firstParameter().isEmpty());
}

void CheckPath(const QString& firstParameter) {
    const QString current = u"/work/current"_s;
    QStringList entered;
    const QString path = ResolveCommandLinePath(firstParameter, current, [&](const QString& folder) {
        entered << folder;
        return u"/entered"_s;
    });
    const QString fileName = FileNameOf(firstParameter);
    TESSAREL_FUZZ_CHECK(entered.size() <= 1, u"the current folder changed more than once"_s);
    TESSAREL_FUZZ_CHECK(path.endsWith(fileName));
    TESSAREL_FUZZ_CHECK(path.startsWith(u'/'), u"not absolute: "_s + path);
    if (FolderOf(firstParameter).isEmpty()) {
        TESSAREL_FUZZ_CHECK(entered.isEmpty() && path == current + u'/' + fileName);
    } else if (FolderOf(firstParameter).startsWith(u'/')) {
        TESSAREL_FUZZ_CHECK(entered == QStringList{FolderOf(firstParameter)} && path == firstParameter);
    } else {
        TESSAREL_FUZZ_CHECK(entered == QStringList{current + u'/' + FolderOf(firstParameter)});
        TESSAREL_FUZZ_CHECK(path == u"/entered/"_s + fileName);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckParse(text);
    CommandLine line;
    line.parse(text);
    if (!TrimSpaces(text).isEmpty()) {
        CheckPath(line.firstParameter());
    }
    return 0;
}
