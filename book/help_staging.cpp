#include "book/help_staging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "book/book_files.h"
#include "book/help_compiler_run.h"
#include "pages/page_paths.h"
#include "support/environment.h"
#include "support/file_read.h"
#include "support/file_stamp.h"
#include "support/user_interface.h"

namespace tessarel {

namespace {

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
    for (const char* name : kHelpProjectFiles) {
        const QString fileName = QString::fromLatin1(name);
        if (stampedPages.contains(HelpFolderFileName(fileName))) {
            add(fileName, StampOf(help.filePath(fileName)), QByteArray());
            continue;
        }
        QByteArray bytes;
        ReadRegularFile(help.filePath(fileName), bytes, kMaxReadBytes, LinkPolicy::Refuse);
        add(fileName, {}, ContentDigest(bytes));
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
    for (const char* name : kHelpProjectFiles) {
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

}  // namespace tessarel
