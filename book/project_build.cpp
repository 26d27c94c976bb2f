#include "book/project_build.h"

#include "book/book_output.h"
#include "book/contents_pages.h"
#include "book/destination_lock.h"
#include "book/frame_pages.h"
#include "book/html_help.h"
#include "book/html_help_compiler.h"
#include "book/page_names.h"
#include "book/project_sources.h"
#include "book/sorting.h"
#include "book/workspace.h"
#include "pages/error_page.h"
#include "pages/page_frame.h"
#include "pages/single_file_build.h"
#include "support/environment.h"
#include "support/html_text.h"
#include "support/paths.h"
#include "support/replacing_file.h"
#include "support/string_functions.h"
#include "support/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace tessarel {

namespace {

bool IsHtmlName(const QString& name) {
    const QString extension = ExtensionOf(name);
    return extension == QStringLiteral("html") || extension == QStringLiteral("htm");
}

/// True when both paths name one existing file.
bool IsSameFile(const QString& a, const QString& b) {
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

/// One run of BuildProject. A step that cannot write stops the build: the
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
          generatedAt_(BuildTimestamp()),
          sources_(ws.project, ws.project.NumberOfChapters) {}

    ProjectBuildResult run();

private:
    bool writeBook(int count);
    bool prepareDestination();
    bool lockDestination();
    void removeLeftovers();
    bool keepSourcesOutOfTheBook();
    bool writeStyleSheet();
    void removeOwnStyleSheet(const QString& sheet);
    bool startGrowingFiles();
    void planPages(int count);
    bool buildChapter(int i);
    void refuseChapter(int i);
    bool reportSourceNotRead(int i, const ReadResult& read, const QString& page);
    bool addBookEntries(const Chapter& chapter, const QString& page, int sectionCount);
    void keepSourceInPlaceOfPage(Chapter& chapter, const QString& page);
    bool startGrowing(const QString& path, const QString& head);
    bool append(const QString& path, const QString& text);
    TextFileWriter* growingFile(const QString& path);
    bool finishGrowingFiles();
    void dropGrowingFiles();
    bool writeSidePagesAndIndexes();
    void compile();
    void finish();

    Workspace& ws_;
    UserInterface& ui_;
    ProjectModel& project_;
    Settings& settings_;
    const PageStyle style_;
    BookOutput out_;
    const QDateTime generatedAt_;
    ProjectBuildResult result_;
    const ProjectSources sources_;
    std::unique_ptr<DestinationLock> lock_;
    /// Growing files started and not yet in place, each with the file it takes.
    std::vector<std::pair<QString, std::unique_ptr<TextFileWriter>>> growing_;
    /// Every chapter's page, planned before anything is written.
    std::vector<ChapterPagePlan> pages_;
    HelpBookSize helpBook_;  ///< the pages listed in "help.hhp"
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
    result_.destinationUnwritable = !written && !result_.destinationBusy;
    if (written) {
        const QString indexPage = out_.path(QStringLiteral("index.htm"));
        if (FileExists(indexPage)) {
            result_.indexPage = indexPage;
            ui_.navigate(indexPage);
        }
        if (settings_.GenerateHtmlHelpFiles) {
            compile();
        }
    }
    finish();
    const QString collisions = PageCollisionText(project_, pages_, out_.chaptersBuilt - 1);
    if (!collisions.isEmpty()) {
        ui_.message(QStringLiteral("Page Name Taken"), collisions, MessageIcon::Exclamation, MessageButtons::Ok);
    }
    return result_;
}

/// The compile is part of the build: it holds the commands and listens to
/// Cancel until it is over, so a hung compiler cannot outlive the build.
void ProjectBuild::compile() {
    const QString compiledName = BaseNameOf(project_.ProjectFileName) + QStringLiteral(".chm");
    ui_.setProgressCaption(QStringLiteral("Compiling HTML Help"));
    result_.compile = CompileHtmlHelp(ws_.env, out_.folder + QStringLiteral("HTML Help"), compiledName, helpBook_,
                                      ws_.compilerTimeLimit);
    const CompileOutcome& outcome = result_.compile;
    if (outcome.compiled) {
        ui_.addLogRow(QStringLiteral("> Compiled Help"), QStringLiteral("help.hhp"), true, QString(), compiledName);
    } else if (outcome.run.end != ProgramEnd::NotStarted || !outcome.run.startError.isEmpty()) {
        ui_.addLogRow(CompileFailureReason(outcome), QStringLiteral("help.hhp"), false, QString(),
                      QStringLiteral("---"));
    }
}

/// The chapters, then the book around them; false as soon as a file cannot be written.
bool ProjectBuild::writeBook(int count) {
    if (!prepareDestination() || !lockDestination()) {
        return false;
    }
    planPages(count);
    removeLeftovers();
    if (!keepSourcesOutOfTheBook() || !writeStyleSheet() || !startGrowingFiles()) {
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
    out_.folder = WithTrailingSeparator(folder);
    ws_.destinationFolder = out_.folder;
    QString failure;
    if (!QFileInfo(out_.folder).isDir() && !MakeFolders(out_.folder, failure)) {
        ShowWriteFailure(ui_, out_.folder, failure);
        return false;
    }
    return true;
}

/// One build at a time writes a destination; a second one stops here and
/// writes nothing.
bool ProjectBuild::lockDestination() {
    lock_ = std::make_unique<DestinationLock>(out_.folder);
    return lock_->acquire(ui_, result_.destinationBusy);
}

/// Files a killed build left beside their places; only a build holding the lock
/// may remove them, as they could otherwise be another build's.
void ProjectBuild::removeLeftovers() {
    const auto keep = [this](const QString& path) { return sources_.contains(path); };
    RemoveLeftoverReplacements(out_.folder, keep);
    // Without its separator, so a link is seen as a link and never entered.
    const QFileInfo help(out_.helpFolder().chopped(1));
    if (help.isDir() && !help.isSymLink()) {
        RemoveLeftoverReplacements(out_.helpFolder(), keep);
    }
}

/// A book file that would replace one of the project's sources stops the build
/// before anything is written: the source stays, and the log names it.
bool ProjectBuild::keepSourcesOutOfTheBook() {
    QStringList names{QStringLiteral("index.htm"), QStringLiteral("_book.htm"), QStringLiteral("_dindex.htm"),
                      QStringLiteral("_sorted_index.htm")};
    if (settings_.Collapsible) {
        names << QStringLiteral("genesisa.htm") << QStringLiteral("genesisn.htm") << QStringLiteral("_bookcol.htm")
              << QStringLiteral("_index_active.htm") << QStringLiteral("contents_active.hhc")
              << QStringLiteral("index_active.hhk");
    }
    if (!settings_.EmbedStyle && !style_.text.isEmpty()) {
        names << style_.name + QStringLiteral(".css");
    }
    QStringList paths;
    for (const QString& name : std::as_const(names)) {
        paths << out_.path(name);
    }
    if (settings_.GenerateHtmlHelpFiles) {
        for (const char* name : {"help.hhp", "contents.hhc", "index.hhk"}) {
            paths << out_.helpPath(QLatin1String(name));
        }
    }
    QStringList kept;
    for (const QString& path : std::as_const(paths)) {
        if (sources_.contains(path)) {
            ui_.addLogRow(QStringLiteral("Not Built: Page Is A Source"), FileNameOf(path), false, QStringLiteral("---"),
                          path.mid(out_.folder.size()));
            kept << path;
        }
    }
    if (!kept.isEmpty()) {
        ui_.message(QStringLiteral("Source file kept"),
                    QStringLiteral("The book would replace a source of the project:") + kCrLf + kept.join(kCrLf) +
                        kCrLf + QStringLiteral("Nothing was written. Choose another destination folder."),
                    MessageIcon::Exclamation, MessageButtons::Ok);
    }
    return kept.isEmpty();
}

bool ProjectBuild::writeStyleSheet() {
    // The name is a plain one (ResolvePageStyle), so the sheet stays inside the
    // destination folder.
    const QString sheet = out_.path(style_.name + QStringLiteral(".css"));
    if (settings_.EmbedStyle) {
        removeOwnStyleSheet(sheet);
        return true;
    }
    return style_.text.isEmpty() || WriteTextFile(ui_, sheet, style_.text);
}

/// A sheet of that name is deleted only when it is the one an earlier build
/// wrote there: the user's own sheet of the same name stays.
void ProjectBuild::removeOwnStyleSheet(const QString& sheet) {
    const QFileInfo info(sheet);
    if (style_.text.isEmpty() || info.isSymLink() || !info.isFile() || sources_.contains(sheet)) {
        return;
    }
    const QByteArray ours = EncodeText(style_.text + kCrLf, FileEncoding::Latin1WithReferences);
    QByteArray found;
    if (info.size() == ours.size() && ReadFileBytes(sheet, found) && found == ours) {
        QFile::remove(sheet);
    }
}

bool ProjectBuild::startGrowingFiles() {
    if (settings_.GenerateHtmlHelpFiles) {
        const QString helpFolder = out_.helpFolder();
        const QFileInfo help(helpFolder.chopped(1));
        // The build writes only inside its destination, never through a link.
        if (help.isSymLink()) {
            ShowWriteFailure(ui_, helpFolder, QStringLiteral("It is a link; a build does not write through links"));
            return false;
        }
        QString failure;
        if (!help.isDir() && !MakeFolders(helpFolder, failure)) {
            ShowWriteFailure(ui_, helpFolder, failure);
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

/// A file that grows chapter by chapter grows beside its place, in a file of
/// its own made for this build, and takes the place only when whole: a failed
/// or stopped build leaves the previous one intact.
bool ProjectBuild::startGrowing(const QString& path, const QString& head) {
    auto file = std::make_unique<TextFileWriter>(path);
    if (!file->open()) {
        file->finish(ui_);
        return false;
    }
    file->write(head);
    growing_.emplace_back(path, std::move(file));
    return true;
}

TextFileWriter* ProjectBuild::growingFile(const QString& path) {
    for (auto& [target, file] : growing_) {
        if (target == path) {
            return file.get();
        }
    }
    return nullptr;
}

/// Works out every page name before the first file is written, so no chapter's
/// page is ever written over by another's.
void ProjectBuild::planPages(int count) {
    const auto isOwnPage = [this](int i) {
        const Chapter& chapter = project_.Chapters[static_cast<size_t>(i)];
        return IsHtmlName(chapter.Name) &&
               IsSameFile(ChapterSourcePath(project_, chapter), out_.path(BookPageName(chapter.Name)));
    };
    pages_ = PlanChapterPages(project_, count, style_.name + QStringLiteral(".css"), isOwnPage);
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
    ui_.addLogRow(ReadFailureReason(read.outcome), chapter.Name, false, QStringLiteral("---"), page);
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
    doc.SourceFilePath = ChapterSourcePath(project_, chapter);
    doc.SectionCount = 0;
    ws_.destinationFolder = out_.folder;
    const QString page = BookPageName(chapter.Name);
    const bool html = IsHtmlName(chapter.Name);
    const bool exists = FileExists(doc.SourceFilePath);
    if (!(html && exists && IsSameFile(doc.SourceFilePath, out_.path(page))) && sources_.contains(out_.path(page))) {
        keepSourceInPlaceOfPage(chapter, page);
        project_.CurrentChapterIndex = i;
        return true;
    }

    if (!exists) {
        const QString body =
            QStringLiteral("<h1> >> File not found</h1><h2>") + EscapeHtml(chapter.Name) +
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
        BuildChapter(context);
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
    // The title is listed as HTML: a section name is the author's, a file name is escaped.
    chapter.ChapterTitle =
        (sections > 0 && !doc.section(1).Name.isEmpty()) ? doc.section(1).Name : EscapeHtml(chapter.Name);

    if (sections > 0) {
        ui_.addLogRow(QStringLiteral("Built OK"), chapter.Name, true, chapter.ChapterTitle, page);
    } else if (html && exists) {
        ui_.addLogRow(QStringLiteral("Not Built: HTML File"), chapter.Name, true, chapter.Name, page);
        // The page is taken into the book as it is, listed under its base name.
        chapter.Documented = true;
        sections = 1;
        doc.SectionCount = 1;
        chapter.ChapterTitle = EscapeHtml(BaseNameOf(chapter.Name));
    } else if (html) {
        ui_.addLogRow(QStringLiteral("Missing HTML File"), chapter.Name, false, QStringLiteral("---"),
                      QStringLiteral("---"));
        ++result_.chaptersFailed;
    } else if (exists) {
        ui_.addLogRow(QStringLiteral("No Sections"), chapter.Name, false, chapter.Name, page);
        ++result_.chaptersFailed;
    } else {
        ui_.addLogRow(QStringLiteral("Missing File"), chapter.Name, false, QStringLiteral("---"),
                      QStringLiteral("---"));
        ++result_.chaptersFailed;
    }
    return sections == 0 || addBookEntries(chapter, page, sections);
}

/// The chapter's page would replace one of the project's sources: the source
/// stays, and the chapter is a failed one.
void ProjectBuild::keepSourceInPlaceOfPage(Chapter& chapter, const QString& page) {
    chapter.Documented = false;
    chapter.ChapterTitle = chapter.Name;
    ui_.addLogRow(QStringLiteral("Not Built: Page Is A Source"), chapter.Name, false, QStringLiteral("---"), page);
    ++result_.chaptersFailed;
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
    const QString topic = FileNameUrl(page);
    ws_.IndexEntries.push_back({entry, topic, true});
    if (!settings_.UseChapterTitleInIndex) {
        ws_.IndexEntries.push_back({chapter.ChapterTitle, topic, false});
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
            ws_.IndexEntries.push_back({name, topic + QLatin1Char('#') + SectionAnchor(name), false});
        }
        if (help) {
            CloseContentsSections(helpBlock);
        }
        if (active) {
            CloseContentsSections(activeBlock);
        }
    }
    // One append per file and chapter keeps the growing files linear in the book's size.
    if (help) {
        ++helpBook_.pages;
        helpBook_.pageBytes += QFileInfo(out_.path(page)).size();
    }
    if (help && (!append(out_.helpPath(QStringLiteral("help.hhp")), HelpProjectFileLine(page)) ||
                 !append(out_.helpPath(QStringLiteral("contents.hhc")), helpBlock))) {
        return false;
    }
    if (active && !append(out_.path(QStringLiteral("contents_active.hhc")), activeBlock)) {
        return false;
    }
    return append(out_.path(QStringLiteral("_dindex.htm")), rows);
}

/// Adds a text to a growing file on a line of its own; a failed write is told
/// at once. Each text ends with the line end written before the next one, the
/// last with the one finish() writes.
bool ProjectBuild::append(const QString& path, const QString& text) {
    TextFileWriter* file = growingFile(path);
    if (text.isEmpty() || file == nullptr) {
        return file != nullptr;
    }
    file->write(kCrLf);
    file->write(text);
    if (file->failed()) {
        file->finish(ui_);
        return false;
    }
    return true;
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
    for (auto& [path, file] : growing_) {
        if (!file->finish(ui_)) {
            return false;
        }
    }
    growing_.clear();
    return true;
}

/// Growing files of a failed build are removed unfinished; their places keep
/// the previous build's files.
void ProjectBuild::dropGrowingFiles() { growing_.clear(); }

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

ProjectBuildResult BuildProject(Workspace& workspace) { return ProjectBuild(workspace).run(); }

}  // namespace tessarel
