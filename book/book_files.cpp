#include "book/book_files.h"

#include "book/book_output.h"
#include "book/build_record.h"
#include "book/html_help.h"
#include "book/modern_book.h"
#include "book/page_names.h"
#include "book/project_sources.h"
#include "book/search_index.h"
#include "book/workspace.h"
#include "pages/page_frame.h"
#include "pages/page_paths.h"
#include "pages/style.h"
#include "support/environment.h"
#include "support/file_read.h"
#include "support/file_stamp.h"
#include "support/paths.h"
#include "support/string_functions.h"
#include "support/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kHelpFolder = u"HTML Help"_s;

/// Enough for the first lines of a help project or search index.
constexpr qint64 kHeadBytes = 512;

QString HelpPrefix() { return kHelpFolder + PathSeparator(); }

bool IsPlainName(const QString& name) {
    return !name.isEmpty() && name != u"."_s && name != u".."_s && !name.contains(QChar(u'\0')) &&
           !name.contains(u'/') && !name.contains(PathSeparator());
}

/// A name the record may hold: a file of the destination or of its help folder.
bool IsDestinationName(const QString& name) {
    return IsPlainName(name) || (name.startsWith(HelpPrefix()) && IsPlainName(name.mid(HelpPrefix().size())));
}

/// Names compared as the file system compares them.
QString NameKey(const QString& name) { return FileNamesIgnoreCase() ? name.toCaseFolded() : name; }

/// Whether a file below the destination may be looked at: one of its help
/// folder only when that folder is a folder and not a link.
bool Reachable(const QString& folder, const QString& name) {
    if (!name.startsWith(HelpPrefix())) {
        return true;
    }
    const QFileInfo help(folder + kHelpFolder);
    return help.isDir() && !help.isSymLink();
}

/// The stamp of a regular file that is not a link; unknown for anything else.
FileStamp OwnStamp(const QString& path) {
#if defined(Q_OS_UNIX)
    // One call: a link's own status is not a regular file's.
    struct stat info = {};
    if (path.isEmpty() || path.contains(QChar(u'\0')) || ::lstat(QFile::encodeName(path).constData(), &info) != 0) {
        return {};
    }
    return StampOfStatus(info);
#else
    return QFileInfo(path).isSymLink() ? FileStamp() : StampOf(path);
#endif
}

QString SuffixOf(const QString& path) {
    const QString name = FileNameOf(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1).toLower();
}

/// Whether IsTessarelFile can tell a file of this name by its contents
/// alone, whatever version of Tessarel wrote it.
bool ProvableByContents(const QString& name) {
    // The interface script changes with the program: it is known by its stamp.
    if (name == kModernScript) {
        return false;
    }
    static const QStringList kSuffixes{u"htm"_s, u"html"_s, u"hhc"_s, u"hhk"_s, u"hhp"_s, u"js"_s};
    return kSuffixes.contains(SuffixOf(name));
}

/// The file names of the program's style sheets.
QStringList ProgramStyleSheets(const AppPaths& paths) {
    return QDir(ProgramFolderFile(paths, u"styles"_s)).entryList({u"*.css"_s}, QDir::Files);
}

/// Whether the bytes of the sheet at `path` are one of the program's style
/// texts as a build writes it.
bool IsProgramStyleSheet(const AppPaths& paths, const QString& path) {
    // No sheet Tessarel ever shipped is near this size.
    constexpr qint64 kMostSheetBytes = 1 << 20;
    const qint64 size = QFileInfo(path).size();
    QByteArray found;
    if (size > kMostSheetBytes || !ReadFileStart(path, size + 1, found) || found.size() != size) {
        return false;
    }
    if (IsFormerStyleSheet(found)) {
        return true;
    }
    const QStringList sheets = ProgramStyleSheets(paths);
    return std::any_of(sheets.cbegin(), sheets.cend(), [&](const QString& file) {
        return found == EncodeText(GetStyleText(paths, file.chopped(4)) + kCrLf, FileEncoding::Latin1WithReferences);
    });
}

/// Whether the copy of an HTML chapter already holds its source's bytes.
bool SameBytes(const QString& copy, const QString& source) {
    const QFileInfo info(copy);
    if (info.isSymLink() || !info.isFile() || info.size() != QFileInfo(source).size()) {
        return false;
    }
    QByteArray a;
    QByteArray b;
    return ReadRegularFile(copy, a).ok() && ReadRegularFile(source, b).ok() && a == b;
}

}  // namespace

QString HelpFolderFileName(const QString& fileName) { return HelpPrefix() + fileName; }

QStringList BookFileNames(const Settings* settings, const QString& styleSheet) {
    QStringList names{u"index.htm"_s, u"_book.htm"_s, u"_dindex.htm"_s, u"_sorted_index.htm"_s};
    const bool modern = settings != nullptr && settings->ModernLayout;
    if (settings == nullptr || modern) {
        names << kModernSheet << kModernScript << kModernData;
    }
    // A modern book has no frames: Collapsible does not apply to it.
    if (settings == nullptr || (settings->Collapsible && !modern)) {
        names << u"genesisa.htm"_s << u"genesisn.htm"_s << u"_bookcol.htm"_s << u"_index_active.htm"_s
              << u"contents_active.hhc"_s << u"index_active.hhk"_s;
    }
    if (settings == nullptr || settings->IncludeSearch) {
        names << u"_search.htm"_s << u"_search_index.js"_s;
    }
    if (!styleSheet.isEmpty()) {
        names << styleSheet;
    }
    if (settings == nullptr || settings->GenerateHtmlHelpFiles) {
        for (const QString& name : {u"help.hhp"_s, u"contents.hhc"_s, u"index.hhk"_s}) {
            names << HelpFolderFileName(name);
        }
    }
    return names;
}

bool IsTessarelFile(const AppPaths& paths, const QString& path) {
    const QString suffix = SuffixOf(path);
    if (suffix == u"css"_s) {
        const QByteArray opening = kStyleSheetOpening.toLatin1();
        QByteArray head;
        return ReadFileStart(path, opening.size(), head) && (head == opening || IsProgramStyleSheet(paths, path));
    }
    if (suffix == u"htm"_s || suffix == u"html"_s || suffix == u"hhc"_s || suffix == u"hhk"_s) {
        return IsTessarelPage(path);
    }
    QByteArray head;
    if (!ReadFileStart(path, kHeadBytes, head)) {
        return false;
    }
    if (suffix == u"hhp"_s) {
        return head.startsWith(kHelpProjectFirstLines.toLatin1());
    }
    if (suffix == u"js"_s) {
        return head.startsWith(kSearchIndexFirstLine.toLatin1() + "\r\n") || head.startsWith(kModernDataOpening) ||
               IsModernScript(path);
    }
    return false;
}

DestinationFiles::DestinationFiles(const AppPaths& paths, const QString& folder, const WrittenFiles& recorded)
    : paths_(paths), folder_(folder) {
    for (auto it = recorded.cbegin(); it != recorded.cend(); ++it) {
        if (IsDestinationName(it.key())) {
            recorded_.insert(it.key(), it.value());
        }
    }
}

bool DestinationFiles::recordedUnchanged(const QString& name) const {
    const auto found = recorded_.constFind(name);
    return found != recorded_.cend() && found->stamp.known() && OwnStamp(folder_ + name) == found->stamp;
}

bool DestinationFiles::isTessarels(const QString& name) const {
    return Reachable(folder_, name) && (recordedUnchanged(name) || IsTessarelFile(paths_, folder_ + name));
}

bool DestinationFiles::isSurelyTessarels(const QString& name) const {
    if (SuffixOf(name) != u"css"_s) {
        return isTessarels(name);
    }
    // A sheet that only opens as Tessarel's may be the user's copy: it is replaced, never removed.
    return Reachable(folder_, name) && (recordedUnchanged(name) || IsProgramStyleSheet(paths_, folder_ + name));
}

std::vector<PlannedFile> PlannedFiles(const BookOutput& out, const std::vector<ChapterPagePlan>& plan,
                                      const ProjectSources& sources) {
    const ProjectModel& project = out.project;
    std::vector<PlannedFile> planned;
    for (const QString& name : BookFileNames(&project.settings, out.styleSheet())) {
        if (!sources.contains(out.path(name))) {
            planned.push_back({name});
        }
    }
    for (size_t i = 0; i < plan.size(); ++i) {
        // A page that is a source is never written: a source is no book file.
        if (plan[i].claim != PageClaim::Own || sources.contains(out.path(plan[i].page))) {
            continue;
        }
        const Chapter& chapter = project.Chapters[i];
        planned.push_back({plan[i].page, static_cast<int>(i), IsHtmlFileName(chapter.Name),
                           sources.chapterPath(static_cast<int>(i))});
    }
    return planned;
}

std::vector<PlannedFile> ForeignFiles(const BookOutput& out, const std::vector<PlannedFile>& planned,
                                      const DestinationFiles& owner) {
    std::vector<PlannedFile> foreign;
    for (const PlannedFile& file : planned) {
        // A file the record knows by a stamp it still has is Tessarel's: one call tells.
        if (!Reachable(out.folder, file.name) || owner.recordedUnchanged(file.name)) {
            continue;
        }
        const QString path = out.path(file.name);
        const QFileInfo info(path);
        // A folder is not replaced: writing there fails, and says so.
        if ((!info.exists() || info.isDir()) && !info.isSymLink()) {
            continue;
        }
        if (owner.isTessarels(file.name) || (file.sourceCopy && SameBytes(path, file.source))) {
            continue;
        }
        foreign.push_back(file);
    }
    return foreign;
}

QStringList FilesABuildWouldReplace(Workspace& ws) {
    const ProjectModel& project = ws.project;
    const QString destination = project.destinationFolder();
    if (TrimSpaces(destination).isEmpty()) {
        return {};
    }
    const QString folder = WithTrailingSeparator(destination);
    if (!QFileInfo(folder).isDir()) {
        return {};
    }
    const PageStyle style = ResolvePageStyle(ws.env.paths, project.settings, project.isOpen());
    const int count = project.chapterCount();
    const BookOutput out{ws, project, style, folder, 0};
    const ProjectSources sources(project, count);
    WrittenFiles recorded;
    if (!ws.env.paths.cacheFolder.isEmpty()) {
        const std::optional<BuildRecord> record = ReadBuildRecord(
            BuildRecordPath(ws.env.paths.cacheFolder, project.ProjectPath, folder), project.ProjectPath, folder);
        if (record) {
            recorded = record->bookFiles;
        }
    }
    const DestinationFiles owner(ws.env.paths, folder, recorded);
    QStringList names;
    for (const PlannedFile& file : ForeignFiles(out, PlannedFiles(out, PlanBookPages(out, count), sources), owner)) {
        names << file.name;
    }
    return names;
}

QStringList RemoveUnusedFiles(const BookOutput& out, const ProjectSources& sources, const QSet<QString>& inUse,
                              const DestinationFiles& owner) {
    QSet<QString> used;
    for (const QString& name : inUse) {
        used.insert(NameKey(name));
    }
    // A sheet named like a style of the program is Tessarel's when its bytes are that style's.
    QStringList candidates = BookFileNames(nullptr, out.style.name + u".css"_s) + ProgramStyleSheets(out.ws.env.paths);
    for (auto it = owner.recorded().cbegin(); it != owner.recorded().cend(); ++it) {
        // An HTML chapter taken as it is stays: it is the author's own page.
        if (!it->sourceCopy) {
            candidates << it.key();
        }
    }
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    QStringList removed;
    for (const QString& name : std::as_const(candidates)) {
        const QString path = out.path(name);
        if (used.contains(NameKey(name)) || !Reachable(out.folder, name)) {
            continue;
        }
        const QFileInfo info(path);
        if (info.isSymLink() || !info.isFile() || sources.contains(path) || !owner.isSurelyTessarels(name)) {
            continue;
        }
        if (QFile::remove(path)) {
            removed << name;
        }
    }
    return removed;
}

WrittenFiles FilesToRecord(const QString& folder, const std::vector<PlannedFile>& written, const WrittenFiles& recorded,
                           const QStringList& removed) {
    const QSet<QString> gone(removed.cbegin(), removed.cend());
    WrittenFiles files;
    for (const PlannedFile& file : written) {
        const FileStamp now = file.stamp.known() ? file.stamp : OwnStamp(folder + file.name);
        if (!now.known()) {
            continue;
        }
        // A file its contents prove Tessarel's is kept by name: the book's own
        // pages are written anew by every build, and a stamp would change the
        // record each time.
        const bool byName = !file.stamp.known() && !file.sourceCopy && ProvableByContents(file.name);
        files.insert(file.name, {byName ? FileStamp() : now, file.sourceCopy});
    }
    for (auto it = recorded.cbegin(); it != recorded.cend(); ++it) {
        if (files.contains(it.key()) || gone.contains(it.key()) || !IsDestinationName(it.key()) ||
            !Reachable(folder, it.key())) {
            continue;
        }
        const FileStamp now = OwnStamp(folder + it.key());
        if (it->stamp.known() ? now == it->stamp : now.known()) {
            files.insert(it.key(), it.value());
        }
    }
    return files;
}

}  // namespace tessarel
