#include "book/project_build.h"

#include "book/book_output.h"
#include "book/contents_pages.h"
#include "book/frame_pages.h"
#include "book/html_help.h"
#include "book/html_help_compiler.h"
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
    bool buildChapter(int i);
    bool addBookEntries(const Chapter& chapter, const QString& page, int sectionCount);
    bool startGrowing(const QString& path, const QString& head);
    bool append(const QString& path, const QString& text);
    bool finishGrowingFiles();
    bool putGrowingFileInPlace(const QString& path);
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
    QStringList growing_;  ///< growing files started and not yet in place
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
    result_.destinationUnwritable = !written;
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
        ui_.AddItem(QStringLiteral("> Compiled Help"), QStringLiteral("help.hhp"), true, QString(), compiledName);
    } else if (outcome.run.end != ProgramEnd::NotStarted || !outcome.run.startError.isEmpty()) {
        ui_.AddItem(CompileFailureReason(outcome), QStringLiteral("help.hhp"), false, QString(), QStringLiteral("---"));
    }
}

/// The chapters, then the book around them; false as soon as a file cannot be written.
bool ProjectBuild::writeBook(int count) {
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
        project_.HomePage = BookPageName(project_.Chapters[0].Name);
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

bool ProjectBuild::buildChapter(int i) {
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
