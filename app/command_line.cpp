#include "app/command_line.h"

#include "support/paths.h"
#include "support/string_functions.h"

namespace tessarel {

namespace {

bool IsWhitespace(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

bool IsAsciiLetterOrDigit(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9');
}

/// Cursor walk over the text looking for "<ws>[ws...]-<alnum>[alnum...]<ws>".
/// Reports each option's name range; stops after `limit` options and then
/// returns the name start of the first one it ignored (0 when none).
template <typename Record>
qsizetype ScanOptions(const QString& text, int limit, Record record) {
    const qsizetype length = text.size();
    auto at = [&](qsizetype position) { return text.at(position - 1); };
    int found = 0;
    qsizetype cursor = 1;
    while (cursor <= length) {
        if (!IsWhitespace(at(cursor))) {
            ++cursor;
            continue;
        }
        qsizetype next = cursor + 1;
        while (next <= length && IsWhitespace(at(next))) {
            ++next;
        }
        if (next > length) {
            break;  // only whitespace remains
        }
        if (at(next) != QLatin1Char('-')) {
            cursor = next;
            continue;
        }
        const qsizetype nameStart = next + 1;
        if (nameStart > length || !IsAsciiLetterOrDigit(at(nameStart))) {
            cursor = nameStart;
            continue;
        }
        qsizetype nameEnd = nameStart;
        while (nameEnd + 1 <= length && IsAsciiLetterOrDigit(at(nameEnd + 1))) {
            ++nameEnd;
        }
        if (nameEnd + 1 > length || !IsWhitespace(at(nameEnd + 1))) {
            cursor = nameEnd + 1;
            continue;
        }
        if (found == limit) {
            return nameStart;
        }
        ++found;
        record(nameStart, nameEnd);
        // The blank that closed the name also opens the next option.
        cursor = nameEnd + 1;
    }
    return 0;
}

}  // namespace

void CommandLine::clear() {
    CommandLineText.clear();
    ParameterCount = 0;
    Parameters.fill(CommandLineParameter{});
}

void CommandLine::parse(const QString& text) {
    clear();
    if (text.isEmpty()) {
        ParameterCount = -1;
        return;
    }
    // Trailing blanks make an option at the very end look like any other.
    CommandLineText = TrimSpaces(text) + QString(20, QLatin1Char(' '));
    const qsizetype length = CommandLineText.size();

    const qsizetype firstIgnored = ScanOptions(CommandLineText, kMaxOptions, [&](qsizetype start, qsizetype end) {
        ++ParameterCount;
        Parameters[static_cast<size_t>(ParameterCount)].NameStart = start;
        Parameters[static_cast<size_t>(ParameterCount)].NameEnd = end;
    });

    CommandLineParameter& first = Parameters[0];
    first.ParamName = QStringLiteral("@first");
    first.ValueStart = 1;
    first.ValueEnd = ParameterCount == 0 ? length : Parameters[1].NameStart - 2;
    first.ParamValue = TrimSpaces(MidRange(CommandLineText, first.ValueStart, first.ValueEnd));

    for (int i = 1; i <= ParameterCount; ++i) {
        CommandLineParameter& option = Parameters[static_cast<size_t>(i)];
        option.ParamName = MidRange(CommandLineText, option.NameStart, option.NameEnd);
        option.ValueStart = option.NameEnd + 1;
        if (i < ParameterCount) {
            option.ValueEnd = Parameters[static_cast<size_t>(i + 1)].NameStart - 2;
        } else {
            // An ignored tenth option must not become part of the ninth's value.
            option.ValueEnd = firstIgnored > 0 ? firstIgnored - 2 : length;
        }
        option.ParamValue = TrimSpaces(MidRange(CommandLineText, option.ValueStart, option.ValueEnd));
    }
}

bool CommandLine::isOptionPresent(const QString& name) const {
    const QString wanted = TrimSpaces(name);
    // Only options that were given: an empty name matches nothing.
    for (int i = 1; i <= ParameterCount; ++i) {
        if (Parameters[static_cast<size_t>(i)].ParamName == wanted) {
            return true;
        }
    }
    return false;
}

QString ResolveCommandLinePath(const QString& firstParameter, const QString& currentFolder,
                               const std::function<QString(const QString& folder)>& enterFolder) {
    const QString folder = FolderOf(firstParameter);
    const QString fileName = FileNameOf(firstParameter);
    QString path;
    if (folder.isEmpty()) {
        path = WithTrailingSeparator(currentFolder) + fileName;
    } else {
#ifdef Q_OS_WIN
        const bool absolute = folder.contains(QLatin1Char(':')) || folder.contains(QStringLiteral("\\\\"));
#else
        const bool absolute = folder.startsWith(QLatin1Char('/'));
#endif
        if (!absolute) {
            const QString entered = enterFolder(WithTrailingSeparator(currentFolder) + folder);
            path = WithTrailingSeparator(entered) + fileName;
        } else {
            enterFolder(folder);
            path = firstParameter;
        }
    }
#ifdef Q_OS_WIN
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
#endif
    return path;
}

QString CommandLineTextOf(const QStringList& arguments) { return arguments.join(QLatin1Char(' ')); }

bool AsksForUsage(const QStringList& arguments) {
    return arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"));
}

QString UsageText() {
    return QStringLiteral(
        "Usage: tessarel [FILE [-b] [-x] [-e]]\n"
        "Opens a source file or a project file (.qdx) in the Tessarel window.\n"
        "A source file's chapter page is built next to it and shown; a project\n"
        "opens with its book. Everything up to the first option is the file's\n"
        "path, spaces included. For scripts, use tessarel-cli.\n"
        "\n"
        "Options:\n"
        "  -h, --help  Show this help and exit.\n"
        "  -b          After opening a project, build its book.\n"
        "  -x          After opening, open the result with the desktop's default\n"
        "              program: the book's index page or the chapter page.\n"
        "  -e          After all that, close the window, which ends the program.\n");
}

}  // namespace tessarel
