#include "book/html_help_compiler.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "pages/page_paths.h"
#include "support/environment.h"
#include "support/error_report.h"
#include "support/file_read.h"
#include "support/file_stamp.h"
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

const char* const kProjectFiles[] = {"help.hhp", "index.hhk", "contents.hhc"};

/// The help project's topics named without the "..\" that leads from the help
/// folder to the pages: in the file list, the default topic and "Local" values.
QByteArray WithPlainTopics(const QByteArray& text, bool projectFile) {
    QByteArray out = text;
    if (projectFile) {
        QList<QByteArray> lines = out.split('\n');
        for (QByteArray& line : lines) {
            if (line.startsWith("..\\")) {
                line.remove(0, 3);
            } else if (line.startsWith("Default topic =..\\")) {
                line.remove(15, 3);
            }
        }
        return lines.join('\n');
    }
    return out.replace("<param name=\"Local\" value=\"..\\", "<param name=\"Local\" value=\"");
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

/// Big-endian ("ENCINT") variable-length number of the compiled file's directory.
bool ReadEncodedNumber(const QByteArray& data, qsizetype& at, qsizetype end, quint64& value) {
    value = 0;
    for (int i = 0; i < 9 && at < end; ++i) {
        const auto byte = static_cast<quint8>(data[at++]);
        value = (value << 7) | (byte & 0x7f);
        if ((byte & 0x80) == 0) {
            return true;
        }
    }
    return false;
}

quint32 ReadLittle32(const QByteArray& data, qsizetype at) {
    quint32 value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<quint8>(data[at + i]);
    }
    return value;
}

quint64 ReadLittle64(const QByteArray& data, qsizetype at) {
    return quint64(ReadLittle32(data, at)) | (quint64(ReadLittle32(data, at + 4)) << 32);
}

/// Where "/#SYSTEM" lies in the file, when it is stored uncompressed.
struct StoredFile {
    qsizetype start = -1;
    qsizetype length = 0;
};

StoredFile FindSystemFile(const QByteArray& data) {
    constexpr qsizetype kHeaderLength = 0x60;
    if (data.size() < kHeaderLength || !data.startsWith("ITSF") || ReadLittle32(data, 4) < 3) {
        return {};
    }
    const quint64 directory = ReadLittle64(data, 0x48);
    const quint64 directoryLength = ReadLittle64(data, 0x50);
    const quint64 content = ReadLittle64(data, 0x58);
    if (directory + directoryLength > quint64(data.size()) || directoryLength < 0x54) {
        return {};
    }
    const auto dir = static_cast<qsizetype>(directory);
    if (data.mid(dir, 4) != "ITSP") {
        return {};
    }
    const quint32 headerLength = ReadLittle32(data, dir + 8);
    const quint32 chunkSize = ReadLittle32(data, dir + 0x10);
    const quint32 chunks = ReadLittle32(data, dir + 0x2c);
    if (chunkSize < 0x14 || headerLength + quint64(chunkSize) * chunks > directoryLength) {
        return {};
    }
    for (quint32 c = 0; c < chunks; ++c) {
        const qsizetype chunk = dir + headerLength + qsizetype(c) * chunkSize;
        if (data.mid(chunk, 4) != "PMGL") {
            continue;
        }
        const quint32 freeSpace = ReadLittle32(data, chunk + 4);
        if (freeSpace > chunkSize - 0x14) {
            return {};
        }
        const qsizetype end = chunk + chunkSize - freeSpace;
        qsizetype at = chunk + 0x14;
        while (at < end) {
            quint64 nameLength = 0;
            quint64 section = 0;
            quint64 offset = 0;
            quint64 length = 0;
            if (!ReadEncodedNumber(data, at, end, nameLength) || nameLength > quint64(end - at)) {
                return {};
            }
            const QByteArray name = data.mid(at, static_cast<qsizetype>(nameLength));
            at += static_cast<qsizetype>(nameLength);
            if (!ReadEncodedNumber(data, at, end, section) || !ReadEncodedNumber(data, at, end, offset) ||
                !ReadEncodedNumber(data, at, end, length)) {
                return {};
            }
            if (name == "/#SYSTEM") {
                const quint64 start = content + offset;
                if (section != 0 || start + length > quint64(data.size()) || length < 4) {
                    return {};
                }
                return {static_cast<qsizetype>(start), static_cast<qsizetype>(length)};
            }
        }
    }
    return {};
}

/// A page as the compiler reads it: the pages hide a web link's "://" and a mail
/// link's ":" behind character references, which a browser decodes but the
/// compiler takes for a local file and an undefined anchor. A section whose name has no space also gets its two anchors
/// the same, which the compiler warns about once per section: the copy keeps the first.
QByteArray WithPlainSchemes(QByteArray page) {
    // With the ";" the pages write before a digit or a ";" first.
    page.replace("&#58&#47&#47;", "://");
    page.replace("&#58&#47&#47", "://");
    page.replace("mailto&#58;", "mailto:");
    static constexpr QByteArrayView kAnchor = "<a NAME=\"";
    QByteArray out;
    out.reserve(page.size());
    qsizetype from = 0;
    for (qsizetype at = page.indexOf(kAnchor); at >= 0; at = page.indexOf(kAnchor, from)) {
        const qsizetype end = page.indexOf("</a>\r\n", at);
        if (end < 0) {
            break;
        }
        const qsizetype next = end + 6;
        const QByteArrayView line(page.constData() + at, next - at);
        out.append(page.constData() + from, next - from);
        from = next;
        // Skip the copies that follow at once.
        while (QByteArrayView(page.constData() + from, page.size() - from).startsWith(line)) {
            from += line.size();
        }
    }
    out.append(page.constData() + from, page.size() - from);
    return out;
}

QDir BookFolderOf(const QDir& help) { return QDir(help.absoluteFilePath(QStringLiteral(".."))); }

/// The files of the book's folder a compile may be given (see StageHelpProject).
QFileInfoList BookFilesToStage(const QDir& book, qint64 largestFile) {
    QFileInfoList files;
    for (const QFileInfo& entry :
         book.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString name = entry.fileName();
        // isFile() would follow a link; a link is never taken.
        if (entry.isSymLink() || !entry.isFile() || entry.size() > largestFile ||
            entry.suffix().compare(QStringLiteral("chm"), Qt::CaseInsensitive) == 0 ||
            name.startsWith(QStringLiteral(".tessarel-"))) {
            continue;
        }
        files << entry;
    }
    return files;
}

}  // namespace

QByteArray HelpCompileInputs(const Environment& env, const QString& helpFolder, const QString& compiledName,
                             const QSet<QString>& stampedPages, qint64 largestFile) {
    QByteArray inputs;
    const auto add = [&inputs](const QString& name, const FileStamp& stamp, const QByteArray& digest) {
        inputs += name.toUtf8() + '\0' + QByteArray::number(stamp.size) + ':' + QByteArray::number(stamp.modifiedNs) +
                  ':' + QByteArray::number(stamp.changedNs) + ':' + QByteArray::number(stamp.inode) + ':' +
                  digest.toHex() + '\n';
    };
    const QString compiler = FindHtmlHelpCompiler(env);
    if (compiler.isEmpty()) {
        return {};  // nothing to compile with: nothing to compare
    }
    add(compiler, StampOf(compiler), QByteArray());
    add(compiledName, {}, qgetenv("SOURCE_DATE_EPOCH"));
    const QDir help(helpFolder);
    for (const char* name : kProjectFiles) {
        QByteArray bytes;
        ReadRegularFile(help.filePath(QString::fromLatin1(name)), bytes, kMaxReadBytes, LinkPolicy::Refuse);
        add(QString::fromLatin1(name), {}, ContentDigest(bytes));
    }
    for (const QFileInfo& file : BookFilesToStage(BookFolderOf(help), largestFile)) {
        const QString name = file.fileName();
        if (stampedPages.contains(name)) {
            add(name, StampOf(file.filePath()), QByteArray());
        } else {
            QByteArray bytes;
            ReadRegularFile(file.filePath(), bytes, largestFile, LinkPolicy::Refuse);
            add(name, {}, ContentDigest(bytes));
        }
    }
    return ContentDigest(inputs);
}

Staging StageHelpProject(UserInterface& ui, const QString& helpFolder, const QString& stagingFolder,
                         qint64 largestFile) {
    const QDir help(helpFolder);
    const QDir staging(stagingFolder);
    for (const QFileInfo& file : BookFilesToStage(BookFolderOf(help), largestFile)) {
        ui.yield();
        if (ui.cancelRequested()) {
            return Staging::Cancelled;
        }
        QByteArray bytes;
        // A file that became a link, a pipe or too large since it was listed is left out.
        if (!ReadRegularFile(file.filePath(), bytes, largestFile, LinkPolicy::Refuse).ok()) {
            continue;
        }
        if (IsHtmlFileName(file.fileName())) {
            bytes = WithPlainSchemes(std::move(bytes));
        }
        if (!WriteBytes(staging.filePath(file.fileName()), bytes)) {
            return Staging::Failed;
        }
    }
    for (const char* name : kProjectFiles) {
        const QString fileName = QString::fromLatin1(name);
        QByteArray bytes;
        if (!ReadRegularFile(help.filePath(fileName), bytes, kMaxReadBytes, LinkPolicy::Refuse).ok()) {
            return Staging::Failed;
        }
        QFile::remove(staging.filePath(fileName));
        if (!WriteBytes(staging.filePath(fileName), WithPlainTopics(bytes, fileName.endsWith(u".hhp")))) {
            return Staging::Failed;
        }
    }
    return ui.cancelRequested() ? Staging::Cancelled : Staging::Staged;
}

bool SetCompiledHelpStamps(const QString& compiledFile, qint64 secondsSinceEpoch) {
    QFile file(compiledFile);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) {
        return false;
    }
    QByteArray data = file.readAll();
    const StoredFile system = FindSystemFile(data);
    if (system.start < 0) {
        return false;
    }
    // The compiler stamps the milliseconds since midnight.
    const auto stamp = static_cast<quint32>((secondsSinceEpoch % 86400 + 86400) % 86400 * 1000);
    for (int i = 0; i < 4; ++i) {
        data[0x10 + i] = static_cast<char>(stamp >> (8 * (3 - i)));
    }
    // The system file's records: a version, then code, length and data each.
    const qsizetype end = system.start + system.length;
    qsizetype at = system.start + 4;
    while (at + 4 <= end) {
        const quint32 head = ReadLittle32(data, at);
        const quint32 code = head & 0xffff;
        const quint32 length = head >> 16;
        at += 4;
        if (at + length > end) {
            break;
        }
        if (code == 10 && length == 4) {
            for (int i = 0; i < 4; ++i) {
                data[at + i] = static_cast<char>(stamp >> (8 * i));
            }
            break;
        }
        at += length;
    }
    return file.seek(0) && file.write(data) == data.size();
}

CompileOutcome CompileHtmlHelp(Environment& env, const QString& helpFolder, const QString& compiledName,
                               const HelpBookSize& book, const CompilerTimeLimit& limit, qint64 largestFile) {
    CompileOutcome outcome;
    const QString folder = WithTrailingSeparator(helpFolder);
    outcome.compiledFile = folder + compiledName;
    qint64 bytes = book.pageBytes;
    for (const char* file : kProjectFiles) {
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
