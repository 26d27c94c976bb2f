#include "book/project_build.h"

#include "book/book_output.h"
#include "book/contents_pages.h"
#include "book/frame_pages.h"
#include "book/html_help.h"
#include "book/html_help_compiler.h"
#include "book/page_names.h"
#include "book/sorting.h"
#include "book/workspace.h"
#include "pages/error_page.h"
#include "pages/page_frame.h"
#include "pages/single_file_build.h"
#include "support/environment.h"
#include "support/file_functions.h"
#include "support/string_functions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tessarel {

namespace {

bool IsHtmlName(const QString& name) {
    const QString extension = ExtensionOf(name);
    return extension == QStringLiteral("html") || extension == QStringLiteral("htm");
}

/// The file of the destination folder that holds a growing book file until it is whole.
QString GrowingPath(const QString& path) { return path + QStringLiteral(".tessarel-new"); }

/// True when both paths name one existing file.
bool IsSameFile(const QString& a, const QString& b) {
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

/// One run of BuildTheProject. A step that cannot write stops the build: the
/// write has been reported to the user once, and nothing after it is attempted.
class ProjectBuild {
public:
    explicit ProjectBuild(Workspace& ws)
        : ws_(ws),
          ui_(ws.env.ui),
          project_(ws.project),
          settings_(ws.project.settings),
          style_(ResolvePageStyle(ws.env.paths, ws.project.settings, ws.project.isOpen())),
          out_{ws, style_, QString(), 0},
          generatedAt_(BuildTimestamp()) {}

    ProjectBuildResult run();

private:
    bool writeBook(int count);
    bool prepareDestination();
    bool writeStyleSheet();
    bool startGrowingFiles();
    void planPages(int count);
    bool buildChapter(int i);
    void refuseChapter(int i);
    bool reportSourceNotRead(int i, const ReadResult& read, const QString& page);
    bool addBookEntries(const Chapter& chapter, const QString& page, int sectionCount);
    bool startGrowing(const QString& path, const QString& head);
    bool append(const QString& path, const QString& text);
    bool finishGrowingFiles();
    bool putGrowingFileInPlace(const QString& path);
    void dropGrowingFiles();
    bool writeSidePagesAndIndexes();
    void finish();

    Workspace& ws_;
    UserInterface& ui_;
    ProjectModel& project_;
    Settings& settings_;
    const PageStyle style_;
    BookOutput out_;
    const QDateTime generatedAt_;
    ProjectBuildResult result_;
    QStringList growing_;  ///< growing files started and not yet in place
    /// Every chapter's page, planned before anything is written.
    std::vector<ChapterPagePlan> pages_;
};

ProjectBuildResult ProjectBuild::run() {
    const int count = std::min(project_.NumberOfChapters, static_cast<int>(project_.Chapters.size()));
    result_.chaptersTotal = std::max(count, 0);
    if (count <= 0) {
        ui_.message(QStringLiteral("Tessarel"),
                    QStringLiteral("Nothing to build.") + kCrLf + QStringLiteral("Please add files to the project."),
                    MessageIcon::Exclamation, MessageButtons::Ok);
        return result_;
    }
    if (!settings_.Copyright.isEmpty()) {
        settings_.Copyright = HtmlFormOf(settings_.Copyright);
    }
    if (!settings_.IndexText.isEmpty()) {
        settings_.IndexText = HtmlFormOf(settings_.IndexText);
    }
    if (!settings_.UseChapterTitleInIndex && settings_.SortFilenames) {
        SortChapters(project_, 0, count - 1);
    }
    ui_.buildStarted(true);
    result_.started = true;
    ws_.IndexEntries.clear();
    // Values of an earlier build must not speak for chapters this one never reaches.
    for (int i = 0; i < count; ++i) {
        project_.Chapters[static_cast<size_t>(i)].ChapterTitle.clear();
        project_.Chapters[static_cast<size_t>(i)].Documented = false;
    }
    project_.HomePage.clear();
    project_.CurrentChapterIndex = 0;

    const bool written = writeBook(count);
    dropGrowingFiles();
    result_.destinationUnwritable = !written;
    finish();
    const QString collisions = PageCollisionText(project_, pages_, out_.chaptersBuilt - 1);
    if (!collisions.isEmpty()) {
        ui_.message(QStringLiteral("Page Name Taken"), collisions, MessageIcon::Exclamation, MessageButtons::Ok);
    }
    if (!written) {
        return result_;
    }
    const QString indexPage = out_.path(QStringLiteral("index.htm"));
    if (FileExists(indexPage)) {
        result_.indexPage = indexPage;
        ui_.navigate(indexPage);
    }
    if (settings_.GenerateHtmlHelpFiles) {
        result_.compiledHelpFile = out_.helpPath(BaseNameOf(project_.ProjectFileName) + QStringLiteral(".chm"));
        const CompileOutcome outcome = CompileHtmlHelp(ws_.env, out_.folder + QStringLiteral("HTML Help"));
        result_.compilerStarted = outcome.started;
        result_.compilerMissing = outcome.compilerMissing;
    }
    return result_;
}

/// The chapters, then the book around them; false as soon as a file cannot be written.
bool ProjectBuild::writeBook(int count) {
    planPages(count);
    if (!prepareDestination() || !writeStyleSheet() || !startGrowingFiles()) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        ui_.yield();
        const Chapter& chapter = project_.Chapters[static_cast<size_t>(i)];
        ui_.setProgressCaption(chapter.Name + QStringLiteral(" ( ") + QString::number(i + 1) + QStringLiteral(" / ") +
                               QString::number(count) + QStringLiteral(" )"));
        if (ui_.cancelRequested()) {
            result_.cancelled = true;
            break;
        }
        if (!buildChapter(i)) {
            return false;
        }
        out_.chaptersBuilt = i + 1;
    }
    ui_.yield();
    if (!finishGrowingFiles() || !writeSidePagesAndIndexes()) {
        return false;
    }
    if (TrimSpaces(project_.HomePage).isEmpty()) {
        // The first chapter that has its own page: another's is not this one's.
        int home = 0;
        while (home + 1 < count && !out_.hasPage(home)) {
            ++home;
        }
        project_.HomePage = BookPageName(project_.Chapters[static_cast<size_t>(home)].Name);
    }
    return WriteFramePages(out_, project_.HomePage);
}

/// Ends a build, whole or stopped: the commands come back and the progress
/// window tells how many files were done.
void ProjectBuild::finish() {
    result_.chaptersProcessed = out_.chaptersBuilt;
    ui_.setCancelRequested(false);
    ui_.buildFinished(true);
    ui_.setProgressCaption(QString::number(out_.chaptersBuilt) + QStringLiteral(" files processed."));
}

bool ProjectBuild::prepareDestination() {
    const QString folder = project_.destinationFolder();
    if (TrimSpaces(folder).isEmpty()) {
        ShowReadOnlyMessage(ui_, folder);
        return false;
    }
    out_.folder = WithTrailingBackslash(folder);
    ws_.destinationFolder = out_.folder;
    if (!QFileInfo(out_.folder).isDir() && !QDir().mkpath(out_.folder)) {
        ShowReadOnlyMessage(ui_, out_.folder);
        return false;
    }
    return true;
}

bool ProjectBuild::writeStyleSheet() {
    // The sheet's name comes from the project file: only its last part is used,
    // so the sheet stays inside the destination folder.
    const QString sheet = out_.path(FileNameOnly(settings_.Style) + QStringLiteral(".css"));
    if (settings_.EmbedStyle) {
        DeleteFile(sheet);
        return true;
    }
    return style_.text.isEmpty() || WriteTextFile(ui_, sheet, style_.text);
}

bool ProjectBuild::startGrowingFiles() {
    if (settings_.GenerateHtmlHelpFiles) {
        const QString helpFolder = out_.helpFolder();
        if (!QFileInfo(helpFolder).isDir() && !QDir().mkpath(helpFolder)) {
            ShowReadOnlyMessage(ui_, helpFolder);
            return false;
        }
        if (!startGrowing(out_.helpPath(QStringLiteral("help.hhp")), HelpProjectHeader(project_)) ||
            !startGrowing(out_.helpPath(QStringLiteral("contents.hhc")), ContentsHeader(SiteMap::HelpProject))) {
            return false;
        }
    }
    if (settings_.Collapsible &&
        !startGrowing(out_.path(QStringLiteral("contents_active.hhc")), ContentsHeader(SiteMap::Active))) {
        return false;
    }
    return startGrowing(out_.path(QStringLiteral("_dindex.htm")), DetailedContentsHead(settings_, style_));
}

/// A file that grows chapter by chapter grows beside its place and takes it
/// only when whole: a failed or stopped build leaves the previous one intact.
bool ProjectBuild::startGrowing(const QString& path, const QString& head) {
    const QFileInfo target(path);
    const bool readOnly =
        target.exists() && (!target.isWritable() || !(target.permissions() & QFileDevice::WriteOwner));
    const QString growing = GrowingPath(path);
    if (target.isDir() || readOnly) {
        ShowReadOnlyMessage(ui_, path);
        return false;
    }
    if (QFileInfo(growing).isFile()) {
        QFile::remove(growing);
    }
    growing_ << path;
    if (!AppendTextFile(growing, head)) {
        ShowReadOnlyMessage(ui_, path);
        return false;
    }
    return true;
}

/// Works out every page name before the first file is written, so no chapter's
/// page is ever written over by another's.
void ProjectBuild::planPages(int count) {
    pages_ = PlanChapterPages(project_, count, FileNameOnly(settings_.Style) + QStringLiteral(".css"));
    out_.withoutPage.assign(pages_.size(), false);
    for (size_t i = 0; i < pages_.size(); ++i) {
        out_.withoutPage[i] = pages_[i].claim != PageClaim::Own;
    }
}

/// A chapter that cannot have its page: a failed row, and nothing written.
void ProjectBuild::refuseChapter(int i) {
    Chapter& chapter = project_.Chapters[static_cast<size_t>(i)];
    project_.CurrentChapterIndex = i;
    chapter.Documented = false;
    chapter.ChapterTitle = chapter.Name;
    LogRefusedChapter(ui_, project_, pages_, i);
    ++result_.chaptersFailed;
}

/// A source that was not read keeps the page it had; where it has none, an
/// error page keeps the contents' link to it whole.
bool ProjectBuild::reportSourceNotRead(int i, const ReadResult& read, const QString& page) {
    Chapter& chapter = project_.Chapters[static_cast<size_t>(i)];
    project_.CurrentChapterIndex = i;
    chapter.Documented = false;
    chapter.ChapterTitle = chapter.Name;
    const QFileInfo old(out_.path(page));
    if (!old.exists() && !old.isSymLink()) {
        const QString body = QStringLiteral("<h1> >> File not read</h1><h2>") + chapter.Name.toHtmlEscaped() +
                             QStringLiteral("</h2><ul><li>") + ReadFailureText(read).toHtmlEscaped() +
                             QStringLiteral("</li></ul>");
        if (!WriteErrorPage(ui_, ws_.page, style_, out_.folder, body, page)) {
            return false;
        }
    }
    ui_.AddItem(ReadFailureReason(read.outcome), chapter.Name, false, QStringLiteral("---"), page);
    ++result_.chaptersFailed;
    return true;
}

bool ProjectBuild::buildChapter(int i) {
    if (!out_.hasPage(i)) {
        refuseChapter(i);
        return true;
    }
    Chapter& chapter = project_.Chapters[static_cast<size_t>(i)];
    DocumentModel& doc = ws_.document;
    QString sourceFolder = project_.resolve(chapter.RelPath);
    if (!sourceFolder.isEmpty()) {
        sourceFolder = WithTrailingBackslash(sourceFolder);
    }
    doc.SourceFilePath = sourceFolder + chapter.Name;
    doc.SectionCount = 0;
    ws_.destinationFolder = out_.folder;
    const QString page = BookPageName(chapter.Name);
    const bool html = IsHtmlName(chapter.Name);
    const bool exists = FileExists(doc.SourceFilePath);

    if (!exists) {
        const QString body =
            QStringLiteral("<h1> >> File not found</h1><h2>") + chapter.Name +
            QStringLiteral("</h2><ul><li>The input file is missing. Restore the file or check drive access</li></ul>");
        if (!WriteErrorPage(ui_, ws_.page, style_, out_.folder, body, page)) {
            return false;
        }
    } else if (!(html && IsSameFile(doc.SourceFilePath, out_.path(page)))) {
        // An HTML source that already lies in the destination is its own copy.
        SingleFileContext context{.env = ws_.env,
                                  .doc = doc,
                                  .page = ws_.page,
                                  .settings = settings_,
                                  .style = style_,
                                  .projectOpen = true,
                                  .projectFolder = project_.ProjectFolder,
                                  .destinationFolder = out_.folder,
                                  .generatedAt = generatedAt_};
        Starttessarel(context);
        // A page that could not be written has been told about; the book must
        // not list it as built.
        if (!context.pageWritten) {
            return false;
        }
        if (!context.source.ok()) {
            return reportSourceNotRead(i, context.source, page);
        }
    }
    project_.CurrentChapterIndex = i;

    int sections = exists ? std::min(doc.count(), static_cast<int>(doc.Sections.size()) - 1) : 0;
    sections = std::max(sections, 0);
    chapter.Documented = sections > 0;
    chapter.ChapterTitle = (sections > 0 && !doc.section(1).Name.isEmpty()) ? doc.section(1).Name : chapter.Name;

    if (sections > 0) {
        ui_.AddItem(QStringLiteral("Built OK"), chapter.Name, true, chapter.ChapterTitle, page);
    } else if (html && exists) {
        ui_.AddItem(QStringLiteral("Not Built: HTML File"), chapter.Name, true, chapter.Name, page);
        // The page is taken into the book as it is, listed under its base name.
        chapter.Documented = true;
        sections = 1;
        doc.SectionCount = 1;
        chapter.ChapterTitle = BaseNameOf(chapter.Name);
    } else if (html) {
        ui_.AddItem(QStringLiteral("Missing HTML File"), chapter.Name, false, QStringLiteral("---"),
                    QStringLiteral("---"));
        ++result_.chaptersFailed;
    } else if (exists) {
        ui_.AddItem(QStringLiteral("No Sections"), chapter.Name, false, chapter.Name, page);
        ++result_.chaptersFailed;
    } else {
        ui_.AddItem(QStringLiteral("Missing File"), chapter.Name, false, QStringLiteral("---"), QStringLiteral("---"));
        ++result_.chaptersFailed;
    }
    return sections == 0 || addBookEntries(chapter, page, sections);
}

bool ProjectBuild::addBookEntries(const Chapter& chapter, const QString& page, int sectionCount) {
    const bool help = settings_.GenerateHtmlHelpFiles;
    const bool active = settings_.Collapsible;
    const QString entry = ChapterEntryText(chapter, settings_);
    QString helpBlock;
    QString activeBlock;
    QString rows;
    if (help) {
        AddContentsChapter(helpBlock, SiteMap::HelpProject, entry, page, sectionCount);
    }
    if (active) {
        AddContentsChapter(activeBlock, SiteMap::Active, entry, page, sectionCount);
    }
    AddDetailedChapterRow(rows, page, entry, settings_.BoldTitles);
    ws_.IndexEntries.push_back({entry, page, true});
    if (!settings_.UseChapterTitleInIndex) {
        ws_.IndexEntries.push_back({chapter.ChapterTitle, page, false});
    }
    if (sectionCount >= 2) {
        if (help) {
            OpenContentsSections(helpBlock);
        }
        if (active) {
            OpenContentsSections(activeBlock);
        }
        for (int j = 2; j <= sectionCount; ++j) {
            ui_.yield();
            const QString& name = ws_.document.section(j).Name;
            AddDetailedSectionRow(rows, page, name);
            if (help) {
                AddContentsSection(helpBlock, SiteMap::HelpProject, page, name);
            }
            if (active) {
                AddContentsSection(activeBlock, SiteMap::Active, page, name);
            }
            ws_.IndexEntries.push_back({name, page + QLatin1Char('#') + SectionAnchor(name), false});
        }
        if (help) {
            CloseContentsSections(helpBlock);
        }
        if (active) {
            CloseContentsSections(activeBlock);
        }
    }
    // One append per file and chapter keeps the growing files linear in the book's size.
    if (help && (!append(out_.helpPath(QStringLiteral("help.hhp")), HelpProjectFileLine(page)) ||
                 !append(out_.helpPath(QStringLiteral("contents.hhc")), helpBlock))) {
        return false;
    }
    if (active && !append(out_.path(QStringLiteral("contents_active.hhc")), activeBlock)) {
        return false;
    }
    return append(out_.path(QStringLiteral("_dindex.htm")), rows);
}

bool ProjectBuild::append(const QString& path, const QString& text) {
    if (text.isEmpty() || AppendTextFile(GrowingPath(path), text)) {
        return true;
    }
    ShowReadOnlyMessage(ui_, path);
    return false;
}

bool ProjectBuild::finishGrowingFiles() {
    if (!append(out_.path(QStringLiteral("_dindex.htm")), DetailedContentsClosing())) {
        return false;
    }
    if (settings_.GenerateHtmlHelpFiles && !append(out_.helpPath(QStringLiteral("contents.hhc")), ContentsClosing())) {
        return false;
    }
    if (settings_.Collapsible && !append(out_.path(QStringLiteral("contents_active.hhc")), ContentsClosing())) {
        return false;
    }
    while (!growing_.isEmpty()) {
        if (!putGrowingFileInPlace(growing_.first())) {
            return false;
        }
        growing_.removeFirst();
    }
    return true;
}

bool ProjectBuild::putGrowingFileInPlace(const QString& path) {
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(GrowingPath(path).toStdU16String()),
                            std::filesystem::path(path.toStdU16String()), error);
    if (error) {
        ShowReadOnlyMessage(ui_, path);
        return false;
    }
    return true;
}

void ProjectBuild::dropGrowingFiles() {
    for (const QString& path : std::as_const(growing_)) {
        if (QFileInfo(GrowingPath(path)).isFile()) {
            QFile::remove(GrowingPath(path));
        }
    }
    growing_.clear();
}

bool ProjectBuild::writeSidePagesAndIndexes() {
    if (!WriteBookPages(out_)) {
        return false;
    }
    SortIndexEntries(ws_.IndexEntries);
    if (!WriteSortedIndexPage(out_)) {
        return false;
    }
    if (settings_.Collapsible && (!WriteActiveIndexPage(out_) || !WriteHelpIndex(out_, SiteMap::Active))) {
        return false;
    }
    return !settings_.GenerateHtmlHelpFiles || WriteHelpIndex(out_, SiteMap::HelpProject);
}

}  // namespace

ProjectBuildResult BuildTheProject(Workspace& workspace) { return ProjectBuild(workspace).run(); }

}  // namespace tessarel
