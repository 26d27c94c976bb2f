#include "book/project_build.h"

#include "book/book_files.h"
#include "book/book_output.h"
#include "book/book_tail.h"
#include "book/build_record.h"
#include "book/chapter_lists.h"
#include "book/chapter_pass.h"
#include "book/chapter_pool.h"
#include "book/contents_pages.h"
#include "book/destination_lock.h"
#include "book/destination_setup.h"
#include "book/frame_pages.h"
#include "book/help_compiler_messages.h"
#include "book/help_compiler_run.h"
#include "book/help_staging.h"
#include "book/html_help.h"
#include "book/modern_book.h"
#include "book/page_names.h"
#include "book/project_sources.h"
#include "book/search_index.h"
#include "book/sorting.h"
#include "book/workspace.h"
#include "pages/outcome_table.h"
#include "pages/page_frame.h"
#include "pages/page_paths.h"
#include "support/environment.h"
#include "support/file_stamp.h"
#include "support/html_text.h"
#include "support/paths.h"
#include "support/preferences.h"
#include "support/replacing_file.h"
#include "support/string_functions.h"
#include "support/text_file.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace tessarel {

namespace {

/// How many chapters a build makes at once: the workspace's choice, else the
/// user's preference, else one per core.
int BuildWorkers(const Workspace& ws) {
    const int chosen = ws.buildWorkers > 0 ? ws.buildWorkers : ReadBuildWorkers(ws.env.preferences);
    return chosen > 0 ? chosen : ChapterPool::DefaultWorkers();
}

/// Passes everything on to `ui` and notes its rows, messages and log text.
class NoteTaker : public UserInterface {
public:
    NoteTaker(UserInterface& ui, std::vector<ChapterNote>& notes) : ui_(ui), notes_(notes) {}

    MessageAnswer message(const QString& title, const QString& text, MessageIcon icon,
                          MessageButtons buttons) override {
        notes_.push_back(ChapterNote::message(title, text, icon, buttons));
        return ui_.message(title, text, icon, buttons);
    }
    void addLogText(const QString& text) override {
        notes_.push_back(ChapterNote::logText(text));
        ui_.addLogText(text);
    }
    void setProgressMaximum(int max) override { ui_.setProgressMaximum(max); }
    void resetProgress() override { ui_.resetProgress(); }
    void advanceProgress() override { ui_.advanceProgress(); }
    void setProgressCaption(const QString& caption) override { ui_.setProgressCaption(caption); }
    void setPartsDone(int done, int total) override { ui_.setPartsDone(done, total); }
    bool cancelRequested() const override { return ui_.cancelRequested(); }
    void setCancelRequested(bool requested) override { ui_.setCancelRequested(requested); }
    bool mayReplaceFile(const QString& path) override { return ui_.mayReplaceFile(path); }

protected:
    void showLogRow(const QString& reason, const QString& item, RowStatus status, const QString& title,
                    const QString& output) override {
        notes_.push_back(ChapterNote::row(reason, item, status, title, output));
        ui_.addLogRow(reason, item, status, title, output);
    }

private:
    UserInterface& ui_;
    std::vector<ChapterNote>& notes_;
};

/// One run of BuildProject. A step that cannot write stops the build: the
/// write has been reported to the user once, and nothing after it is attempted.
class ProjectBuild {
public:
    ProjectBuild(Workspace& ws, const ProjectBuildOptions& options)
        : ws_(ws),
          options_(options),
          ui_(ws.env.ui),
          project_(BookProjectOf(ws.project)),
          settings_(project_.settings),
          style_(ResolvePageStyle(ws.env.paths, project_.settings, project_.isOpen())),
          out_{ws, project_, style_, QString(), 0},
          generatedAt_(BuildTimestamp()),
          sources_(project_, project_.chapterCount()),
          lists_(out_),
          search_(settings_.IncludeSearch ? std::make_unique<SearchIndex>() : nullptr) {}

    ProjectBuildResult run();

private:
    bool writeBook(int count);
    bool applyChapter(ChapterResult built);
    bool takeIntoBook(ChapterResult& built);
    bool listChapter(int i, ChapterResult& built);
    bool listHeldBack();
    QByteArray bookInputs(int count) const;
    void holdBackIfBookAsRecorded();
    bool writeBookTexts(std::vector<ChapterNote>& notes);
    bool writeModernBookTexts(const BookOutput& book, UserInterface& ui);
    bool writeClassicBookTexts(const BookOutput& book, UserInterface& ui);
    void keepBookTexts(std::vector<ChapterNote> notes);
    bool buildHere(const ChapterPass& pass, int count);
    bool buildOnPool(const ChapterPass& pass, int count, int workers);
    bool startChapter(int i, int count);
    bool prepareDestination();
    bool lockDestination();
    void planPages(int count);
    void keepForeignFiles();
    void removeUnusedFiles();
    void tellKeptFiles();
    void compile();
    void finish();
    void reportUncountedChapters(int count);
    void loadRecord();
    void keepRecord(ChapterResult built);
    void saveRecord(int count);

    Workspace& ws_;
    const ProjectBuildOptions options_;
    UserInterface& ui_;
    /// The book's own copy of the project: the workspace's is only read.
    const ProjectModel project_;
    const Settings& settings_;
    const PageStyle style_;
    BookOutput out_;
    const QDateTime generatedAt_;
    ProjectBuildResult result_;
    const ProjectSources sources_;
    std::unique_ptr<DestinationLock> lock_;
    /// Every chapter's page, planned before anything is written.
    std::vector<ChapterPagePlan> pages_;
    ChapterLists lists_;
    /// The record of this project's builds into this destination: "" keeps none.
    QString recordPath_;
    std::optional<BuildRecord> previous_;
    BuildRecord next_;
    /// The sources of the chapters this build reached: their old records are void.
    QSet<QString> reached_;
    /// The search page's data, when the book has one.
    std::unique_ptr<SearchIndex> search_;
    /// The files earlier builds of this project wrote into the destination.
    WrittenFiles recorded_;
    std::optional<DestinationFiles> owner_;
    /// Every file this build writes, and those it keeps as the user's.
    std::vector<PlannedFile> planned_;
    QStringList keptNames_;
    /// Files of earlier builds this one removed, as the book no longer uses them.
    QStringList removed_;
    /// The chapters a modern book lists, as they are built.
    std::vector<ModernChapter> modern_;
    /// What the book around the chapters is made of besides their results.
    QByteArray bookInputs_;
    /// While every chapter so far was replayed and the book's files are as the
    /// last build left them, the chapters are held back from the lists: if
    /// all are, the book stays as it is.
    bool holdingBack_ = false;
    bool listReplayed_ = true;
    struct HeldBack {
        int chapter;
        QString source;
        std::shared_ptr<const ChapterListing> listing;
    };
    std::vector<HeldBack> heldBack_;
    /// The pages the help project lists.
    HelpBookSize helpBook_;
};

ProjectBuildResult ProjectBuild::run() {
    const int count = project_.chapterCount();
    result_.chaptersTotal = std::max(count, 0);
    if (count <= 0) {
        ui_.message(QStringLiteral("Tessarel"),
                    QStringLiteral("Nothing to build.") + kCrLf + QStringLiteral("Please add files to the project."),
                    MessageIcon::Exclamation, MessageButtons::Ok);
        return result_;
    }
    ui_.buildStarted(true);
    result_.started = true;
    result_.chapters = project_.Chapters;
    result_.copyright = settings_.Copyright;
    result_.indexText = settings_.IndexText;
    reportUncountedChapters(count);
    ws_.IndexEntries.clear();
    out_.found.assign(static_cast<size_t>(count), ChapterFinding{});

    const bool written = writeBook(count);
    result_.found = out_.found;
    lists_.drop();
    result_.destinationUnwritable = !written && !result_.destinationBusy && !result_.sourceKept;
    if (written) {
        // A start page of the user's is not the book's.
        const QString indexPage = out_.path(QStringLiteral("index.htm"));
        if (FileExists(indexPage) && !out_.keeps(QStringLiteral("index.htm"))) {
            result_.indexPage = indexPage;
        }
        // The help project is the build's only when all its files are.
        const bool helpKept = std::any_of(out_.kept.cbegin(), out_.kept.cend(), [](const QString& name) {
            return name.startsWith(HelpFolderFileName(QString()));
        });
        if (settings_.GenerateHtmlHelpFiles && !helpKept) {
            compile();
        }
    }
    saveRecord(count);
    finish();
    tellKeptFiles();
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
    const QString helpFolder = out_.folder + QStringLiteral("HTML Help");
    ui_.setProgressCaption(QStringLiteral("Compiling HTML Help"));
    QByteArray inputs;
    if (!recordPath_.isEmpty()) {
        // Chapter pages are known by the stamps the record holds; the rest by their bytes.
        QSet<QString> stampedPages;
        for (const ChapterResult& chapter : std::as_const(next_.chapters)) {
            stampedPages.insert(chapter.files->page);
        }
        // So are the book's own files, whose stamps the record keeps too.
        for (const auto& [name, stamp] : next_.book.files) {
            stampedPages.insert(name);
        }
        inputs = HelpCompileInputs(ws_.env, helpFolder, compiledName, stampedPages, ws_.largestHelpFile);
        const QString compiledFile = WithTrailingSeparator(helpFolder) + compiledName;
        if (!inputs.isEmpty() && previous_ && previous_->compileSuccess && previous_->helpInputs == inputs &&
            previous_->compiledStamp.known() && StampOf(compiledFile) == previous_->compiledStamp) {
            result_.compile.compiled = true;
            result_.compile.unchanged = true;
            result_.compile.compiledFile = compiledFile;
            // The file still has the faults the compiler warned of: they are told again.
            const CompilerMessages messages = CountCompilerMessages(previous_->compileOutput);
            ui_.addLogRow(CompiledHelpReason(messages, true), QStringLiteral("help.hhp"),
                          messages.warnings > 0 ? RowStatus::Warning : RowStatus::Ok, QString(), compiledName);
            if (!previous_->compileOutput.isEmpty()) {
                ui_.addLogText(QString::fromLocal8Bit(previous_->compileOutput));
            }
            next_.helpInputs = inputs;
            next_.compiledStamp = previous_->compiledStamp;
            next_.compileOutput = previous_->compileOutput;
            next_.compileSuccess = true;
            return;
        }
    }
    result_.compile =
        CompileHtmlHelp(ws_.env, helpFolder, compiledName, helpBook_, ws_.compilerTimeLimit, ws_.largestHelpFile);
    const CompileOutcome& outcome = result_.compile;
    if (outcome.compiled) {
        // A file written despite errors is no success: its links may lead nowhere.
        const CompilerMessages messages = CountCompilerMessages(outcome.run.output);
        const RowStatus status = messages.errors > 0     ? RowStatus::Failed
                                 : messages.warnings > 0 ? RowStatus::Warning
                                                         : RowStatus::Ok;
        ui_.addLogRow(CompiledHelpReason(messages), QStringLiteral("help.hhp"), status, QString(), compiledName);
        result_.helpFailed = status == RowStatus::Failed;
        if (!inputs.isEmpty() && messages.errors == 0) {
            next_.helpInputs = inputs;
            next_.compiledStamp = StampOf(outcome.compiledFile);
            if (messages.warnings > 0) {
                next_.compileOutput = outcome.run.output;
            }
            next_.compileSuccess = true;
        }
    } else if (outcome.run.end == ProgramEnd::Cancelled) {
        // The user's stop, not a fault of the book.
        result_.cancelled = true;
        ui_.addLogRow(CompileFailureReason(outcome), QStringLiteral("help.hhp"), RowStatus::Warning, QString(),
                      QStringLiteral("---"));
    } else if (outcome.run.end != ProgramEnd::NotStarted || !outcome.run.startError.isEmpty()) {
        result_.helpFailed = true;
        ui_.addLogRow(CompileFailureReason(outcome), QStringLiteral("help.hhp"), RowStatus::Failed, QString(),
                      QStringLiteral("---"));
    }
    if (!outcome.run.output.isEmpty()) {
        ui_.addLogText(QString::fromLocal8Bit(outcome.run.output));
    }
}

/// The chapters, then the book around them; false as soon as a file cannot be written.
bool ProjectBuild::writeBook(int count) {
    if (!prepareDestination() || !lockDestination()) {
        return false;
    }
    loadRecord();
    planPages(count);
    RemoveLeftovers(out_, sources_);
    if (!KeepSourcesOutOfTheBook(out_, sources_)) {
        result_.sourceKept = true;
        return false;
    }
    keepForeignFiles();
    if (!WriteBookStyleSheet(out_) || !lists_.start()) {
        return false;
    }
    if (!recordPath_.isEmpty()) {
        bookInputs_ = bookInputs(count);
        holdBackIfBookAsRecorded();
    }
    const ChapterPass pass{ws_,
                           out_,
                           sources_,
                           pages_,
                           generatedAt_,
                           previous_ ? &*previous_ : nullptr,
                           !recordPath_.isEmpty(),
                           search_ != nullptr,
                           listReplayed_};
    const int workers = std::min(BuildWorkers(ws_), count);
    if (!(workers > 1 ? buildOnPool(pass, count, workers) : buildHere(pass, count))) {
        return false;
    }
    // The contents, the index and the help files are the last part; a
    // stopped build's bar stays at the chapters it built.
    ui_.setPartsDone(result_.cancelled ? out_.chaptersBuilt : count, count + 1);
    if (holdingBack_ && !result_.cancelled && out_.chaptersBuilt == count) {
        // Every chapter was replayed and the book's files are as the last build
        // left them: they would be made again byte for byte.
        lists_.drop();
        heldBack_ = {};
        next_.book = previous_->book;
        ReplayNotes(ui_, next_.book.notes);
        result_.homePage = next_.book.homePage;
        helpBook_ = {next_.book.helpPages, next_.book.helpPageBytes};
        result_.bookReused = true;
        removeUnusedFiles();
        return true;
    }
    std::vector<ChapterNote> notes;
    if (!listHeldBack() || !lists_.finish() || !writeBookTexts(notes)) {
        return false;
    }
    helpBook_ = lists_.helpBook();
    removeUnusedFiles();
    if (!result_.cancelled && out_.chaptersBuilt == count) {
        keepBookTexts(std::move(notes));
    }
    return true;
}

/// The side pages, indexes and frames, written as the book of a workspace of
/// their own whose user interface notes what they tell.
bool ProjectBuild::writeBookTexts(std::vector<ChapterNote>& notes) {
    NoteTaker taker(ui_, notes);
    Environment env{taker, ws_.env.preferences, ws_.env.paths};
    Workspace bookSpace(env);
    bookSpace.compilerTimeLimit = ws_.compilerTimeLimit;
    bookSpace.largestHelpFile = ws_.largestHelpFile;
    std::swap(bookSpace.page, ws_.page);
    std::swap(bookSpace.IndexEntries, ws_.IndexEntries);
    const BookOutput book{bookSpace,          project_,         style_,    out_.folder,
                          out_.chaptersBuilt, out_.withoutPage, out_.kept, out_.found};
    const bool written =
        settings_.ModernLayout ? writeModernBookTexts(book, taker) : writeClassicBookTexts(book, taker);
    std::swap(bookSpace.page, ws_.page);
    std::swap(bookSpace.IndexEntries, ws_.IndexEntries);
    return written;
}

/// The modern book's own files: each writer reads only the chapters it
/// lists, the sorted index and the search data, so they run side by side.
bool ProjectBuild::writeModernBookTexts(const BookOutput& book, UserInterface& ui) {
    SortIndexEntries(book.ws.IndexEntries);
    const QString homePage = ModernHomePage(settings_, modern_);
    std::vector<TailWriter> help;
    if (settings_.GenerateHtmlHelpFiles) {
        help.push_back({[](const BookOutput& out) { return WriteHelpIndex(out, SiteMap::HelpProject); }});
    }
    if (!RunTailWriters(book, ModernTailWriters(modern_, search_.get(), homePage, std::move(help)), BuildWorkers(ws_),
                        ui)) {
        return false;
    }
    result_.homePage = homePage;
    return true;
}

/// The side pages, the indexes, search and the frames: each writer reads only
/// the lists, the sorted index and the search data, so they run side by side.
bool ProjectBuild::writeClassicBookTexts(const BookOutput& book, UserInterface& ui) {
    // Sorted before the writers start: it has no output of its own.
    SortIndexEntries(book.ws.IndexEntries);
    QString homePage = result_.homePage;
    std::vector<TailWriter> writers;
    writers.push_back({[&homePage](const BookOutput& out) { return WriteBookPages(out, homePage); }});
    writers.push_back({[](const BookOutput& out) { return WriteSortedIndexPage(out); }});
    if (settings_.Collapsible) {
        writers.push_back(
            {[](const BookOutput& out) { return WriteActiveIndexPage(out) && WriteHelpIndex(out, SiteMap::Active); }});
    }
    if (settings_.GenerateHtmlHelpFiles) {
        writers.push_back({[](const BookOutput& out) { return WriteHelpIndex(out, SiteMap::HelpProject); }});
    }
    if (search_) {
        writers.push_back({[this](const BookOutput& out) { return WriteSearchPages(out, *search_); }});
    }
    // The frames open on the home page the side pages found.
    writers.push_back({[this, &homePage](const BookOutput& out) {
                           if (TrimSpaces(homePage).isEmpty()) {
                               // The first chapter that has its own page: another's is not this one's.
                               const int count = project_.chapterCount();
                               int home = 0;
                               while (home + 1 < count && !out_.hasPage(home)) {
                                   ++home;
                               }
                               homePage = BookPageName(project_.Chapters[static_cast<size_t>(home)].Name);
                           }
                           return WriteFramePages(out, homePage);
                       },
                       true});
    const bool written = RunTailWriters(book, writers, BuildWorkers(ws_), ui);
    result_.homePage = homePage;
    return written;
}

/// Everything the book's files are made of besides the chapters' results and
/// what the page inputs hold: the chapters, their pages and the files planned.
QByteArray ProjectBuild::bookInputs(int count) const {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << next_.pageInputs << project_.ProjectPath << project_.ProjectFolder << project_.ProjectFileName
        << qint32(count);
    for (int i = 0; i < count; ++i) {
        const Chapter& chapter = project_.Chapters[static_cast<size_t>(i)];
        const ChapterPagePlan& page = pages_[static_cast<size_t>(i)];
        out << chapter.Name << chapter.RelPath << page.page << qint32(page.claim) << qint32(page.holder);
    }
    out << quint32(planned_.size());
    for (const PlannedFile& file : planned_) {
        out << file.name << qint32(file.chapter) << file.sourceCopy << file.source;
    }
    QStringList kept(out_.kept.cbegin(), out_.kept.cend());
    kept.sort();
    out << kept;
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

/// Holds the replayed chapters back when the last build wrote the whole book
/// from the same inputs, its files are still as it left them, and every source
/// with a page still has its recorded stamp: a changed source means the book is
/// made as always. The workers make no listing while every stamp is trusted too.
void ProjectBuild::holdBackIfBookAsRecorded() {
    if (!previous_ || previous_->book.inputs.isEmpty() || previous_->book.inputs != bookInputs_) {
        return;
    }
    bool trusted = true;
    const int count = project_.chapterCount();
    for (int i = 0; i < count; ++i) {
        if (!out_.hasPage(i)) {
            continue;
        }
        const auto found = previous_->chapters.constFind(sources_.chapterPath(i));
        if (found == previous_->chapters.cend() || !found->files ||
            StampOf(found->files->source) != found->files->sourceStamp) {
            return;
        }
        trusted = trusted && found->files->stampTrusted;
    }
    holdingBack_ = std::all_of(previous_->book.files.cbegin(), previous_->book.files.cend(),
                               [this](const auto& file) { return StampOf(out_.path(file.first)) == file.second; });
    listReplayed_ = !holdingBack_ || !trusted;
}

/// Notes the book this whole build wrote for the next one.
void ProjectBuild::keepBookTexts(std::vector<ChapterNote> notes) {
    if (recordPath_.isEmpty()) {
        return;
    }
    BookTexts& book = next_.book;
    book.inputs = bookInputs_;
    book.homePage = result_.homePage;
    book.helpPages = helpBook_.pages;
    book.helpPageBytes = helpBook_.pageBytes;
    for (const PlannedFile& file : planned_) {
        if (file.chapter < 0 && !out_.keeps(file.name)) {
            book.files.emplace_back(file.name, StampOf(out_.path(file.name)));
        }
    }
    book.notes = std::move(notes);
}

/// Shows chapter `i` as the one being built; false when the user asked to stop.
bool ProjectBuild::startChapter(int i, int count) {
    const Chapter& chapter = project_.Chapters[static_cast<size_t>(i)];
    ui_.setProgressCaption(chapter.Name + QStringLiteral(" ( ") + QString::number(i + 1) + QStringLiteral(" / ") +
                           QString::number(count) + QStringLiteral(" )"));
    if (result_.critical || ui_.cancelRequested()) {
        result_.cancelled = true;
        return false;
    }
    ui_.setPartsDone(i, count + 1);
    return true;
}

/// One chapter after the other on this thread, the chapter's progress shown as it goes.
bool ProjectBuild::buildHere(const ChapterPass& pass, int count) {
    for (int i = 0; i < count; ++i) {
        if (!startChapter(i, count)) {
            break;
        }
        if (!applyChapter(BuildBookChapter(pass, {ws_.document, ws_.page}, i, &ui_))) {
            return false;
        }
    }
    return true;
}

/// The chapters built on workers, their results applied here in chapter
/// order, Cancel looked at while it waits. Cancel hands out no more
/// chapters; those already handed out are finished and applied.
bool ProjectBuild::buildOnPool(const ChapterPass& pass, int count, int workers) {
    ChapterPool pool(pass, count, workers);
    for (int i = 0; i < count; ++i) {
        if (result_.cancelled) {
            if (!pool.handedOut(i)) {
                break;
            }
        } else if (!startChapter(i, count)) {
            pool.stop();
            if (!pool.handedOut(i)) {
                break;
            }
        }
        std::optional<ChapterResult> built = pool.await(i, [this] {
            if (!result_.cancelled && ui_.cancelRequested()) {
                result_.cancelled = true;
                return true;
            }
            return false;
        });
        if (!built) {
            // Cancelled before a worker took it: no chapter from here on was started.
            break;
        }
        if (!applyChapter(std::move(*built))) {
            return false;
        }
    }
    return true;
}

/// Takes a chapter's result into the book and the next record. False when
/// the build must stop.
bool ProjectBuild::applyChapter(ChapterResult built) {
    const bool applied = takeIntoBook(built);
    keepRecord(std::move(built));
    return applied;
}

/// A chapter's rows and messages, its title, its place in the lists.
bool ProjectBuild::takeIntoBook(ChapterResult& built) {
    ReplayChapterNotes(ui_, built);
    result_.critical = result_.critical || built.critical;
    out_.found[static_cast<size_t>(built.chapter)] = {built.title, built.documented};
    if (!built.written) {
        return false;
    }
    result_.chaptersFailed += built.failed ? 1 : 0;
    if (holdingBack_ && !out_.hasPage(built.chapter)) {
        // Refused as its page plan says, which the book's inputs hold: listed nowhere.
    } else if (holdingBack_ && built.reused && built.files) {
        // Its result goes to the next record as it is; the lists may never need it.
        heldBack_.push_back({built.chapter, built.files->source, built.listing});
    } else if (!listHeldBack() || !listChapter(built.chapter, built)) {
        return false;
    }
    out_.chaptersBuilt = built.chapter + 1;
    return true;
}

/// Chapter `i`'s place in the lists, the modern book and the search index.
/// Its line in the search index is made here unless its result brings it,
/// and kept in the result for the record.
bool ProjectBuild::listChapter(int i, ChapterResult& built) {
    if (built.sections <= 0) {
        return true;
    }
    ReadRecordedLists(built);
    const Chapter& chapter = project_.Chapters[static_cast<size_t>(i)];
    if (!lists_.add(chapter, BookPageName(chapter.Name), built)) {
        return false;
    }
    if (settings_.ModernLayout) {
        modern_.push_back({i, BookPageName(chapter.Name), built.title, built.sectionNames});
    }
    if (search_) {
        const QString page = BookPageName(chapter.Name);
        if (page.isEmpty() || built.search.page != page) {
            // On this thread: a line made on a worker would outlive its heap's
            // large buffers there, and keep them from being used again.
            built.search = MakeSearchChapter(built.title, page, built.sectionNames);
        }
        search_->addChapter(built.search, built.snippets);
    }
    return true;
}

/// Lists the chapters held back, in order, once the book must be written after all.
bool ProjectBuild::listHeldBack() {
    holdingBack_ = false;
    for (const HeldBack& held : heldBack_) {
        // Replayed chapters are recorded (keepRecord) before the next one comes.
        const auto found = next_.chapters.find(held.source);
        found->listing = held.listing;
        const bool listed = listChapter(held.chapter, *found);
        found->listing.reset();
        if (!listed) {
            return false;
        }
    }
    heldBack_ = {};
    return true;
}

/// "1 file", "2 files".
QString FilesText(int count) {
    return QString::number(count) + (count == 1 ? QStringLiteral(" file") : QStringLiteral(" files"));
}

/// Ends a build, whole or stopped: the commands come back and the progress
/// window tells how many files were done; a stopped build says so in a row too.
void ProjectBuild::finish() {
    result_.chaptersProcessed = out_.chaptersBuilt;
    ui_.setCancelRequested(false);
    QString caption = FilesText(out_.chaptersBuilt) + QStringLiteral(" processed.");
    if (result_.cancelled) {
        caption = QStringLiteral("Cancelled after ") + QString::number(out_.chaptersBuilt) + QStringLiteral(" of ") +
                  FilesText(result_.chaptersTotal);
        // A row about the whole book, as the side pages' are.
        ui_.addLogRow(QStringLiteral("> ") + caption, QString(), RowStatus::Warning, QString(), QString());
    }
    ui_.buildFinished(true);
    ui_.setProgressCaption(caption);
}

/// Chapters the project file lists beyond its count are not built, as the
/// count says; the user is told once, since a save would drop them too.
void ProjectBuild::reportUncountedChapters(int count) {
    const int uncounted = project_.UncountedChapters;
    if (uncounted <= 0) {
        return;
    }
    const int listed = count + uncounted;
    ui_.addLogRow(QStringLiteral("Files Not Counted"), project_.ProjectFileName, RowStatus::Warning,
                  QStringLiteral("%1 listed, %2 counted").arg(listed).arg(count), QStringLiteral("---"));
    ui_.addLogText(
        QStringLiteral("The project file lists %1 files, but its <NumberOfChapters> is %2: ").arg(listed).arg(count) +
        (uncounted == 1
             ? QStringLiteral("the last file is not built, and saving the project drops it.")
             : QStringLiteral("the last %1 files are not built, and saving the project drops them.").arg(uncounted)));
}

/// Takes the last build's record when it was made with the same page inputs;
/// any other record (or a rebuild) means every chapter is built.
void ProjectBuild::loadRecord() {
    if (ws_.env.paths.cacheFolder.isEmpty()) {
        owner_.emplace(ws_.env.paths, out_.folder, recorded_);
        return;
    }
    recordPath_ = BuildRecordPath(ws_.env.paths.cacheFolder, project_.ProjectPath, out_.folder);
    next_.projectPath = project_.ProjectPath;
    next_.destination = out_.folder;
    // Without a fixed build time, an untouched chapter keeps the date it was built on.
    const bool fixedTime = settings_.IncludeLastGenerated && qEnvironmentVariableIsSet("SOURCE_DATE_EPOCH");
    QStringList neighbours;
    if (settings_.ModernLayout) {
        for (const Chapter& chapter : project_.Chapters) {
            neighbours << chapter.Name;
        }
    }
    next_.pageInputs =
        PageInputsDigest(settings_, style_, fixedTime ? ShortDateTimeText(generatedAt_) : QString(), neighbours);
    // What the earlier builds wrote counts whatever the settings were, and for a rebuild too.
    std::optional<BuildRecord> record =
        ReadBuildRecord(recordPath_, next_.projectPath, next_.destination, options_.recordLimit);
    if (record) {
        recorded_ = record->bookFiles;
    }
    owner_.emplace(ws_.env.paths, out_.folder, recorded_);
    if (!options_.rebuild && record && record->pageInputs == next_.pageInputs) {
        previous_ = std::move(record);
    }
}

void ProjectBuild::keepRecord(ChapterResult built) {
    if (recordPath_.isEmpty()) {
        return;
    }
    reached_.insert(sources_.chapterPath(built.chapter));
    result_.chaptersReused += built.reused ? 1 : 0;
    if (built.files) {
        // Kept as a build reads it back, so an unchanged book keeps its record file.
        const QString source = built.files->source;
        built.chapter = -1;
        built.reused = false;
        built.listing.reset();
        next_.chapters.emplace(source, std::move(built));
    }
}

/// Records the chapters this build wrote, and those of the last build's record
/// it never reached (a cancelled or stopped build) that are still chapters:
/// their pages are still checked against what was recorded.
void ProjectBuild::saveRecord(int count) {
    // A build that reached no chapter wrote no page: the old record still holds.
    if (recordPath_.isEmpty() || reached_.isEmpty()) {
        return;
    }
    if (previous_) {
        for (int i = 0; i < count; ++i) {
            const QString& source = sources_.chapterPath(i);
            const auto found = previous_->chapters.constFind(source);
            if (!reached_.contains(source) && found != previous_->chapters.cend()) {
                next_.chapters.insert(source, *found);
            }
        }
    }
    std::vector<PlannedFile> written;
    for (const PlannedFile& file : planned_) {
        const bool reached = file.chapter < out_.chaptersBuilt && out_.hasPage(file.chapter);
        if (file.chapter < 0 ? !out_.keeps(file.name) : reached) {
            written.push_back(file);
            // A recorded chapter's page has the stamp its result holds: an
            // unchanged book keeps its record.
            const auto found = file.chapter < 0 ? next_.chapters.cend() : next_.chapters.constFind(file.source);
            if (found != next_.chapters.cend() && found->files && found->files->page == file.name) {
                written.back().stamp = found->files->pageStamp;
            }
        }
    }
    if (settings_.GenerateHtmlHelpFiles && result_.compile.compiled) {
        written.push_back({HelpFolderFileName(FileNameOf(result_.compile.compiledFile))});
    }
    next_.bookFiles = FilesToRecord(out_.folder, written, recorded_, removed_);
    if ((!previous_ || !(next_ == *previous_)) &&
        WriteBuildRecord(recordPath_, next_, options_.recordLimit) == RecordWrite::TooLarge) {
        const qint64 limit = options_.recordLimit;
        const QString most = limit % (qint64{1} << 20) == 0 ? QString::number(limit >> 20) + QStringLiteral(" MB")
                                                            : QString::number(limit) + QStringLiteral(" bytes");
        ui_.addLogRow(QStringLiteral("> Build Record Too Large"), QString(), RowStatus::Warning, QString(),
                      QStringLiteral("---"));
        ui_.addLogText(QStringLiteral("The record of this build would be larger than ") + most +
                       QStringLiteral(", the most Tessarel reads back, so it was not kept: the next build builds "
                                      "every chapter again."));
    }
}

bool ProjectBuild::prepareDestination() {
    const QString folder = project_.destinationFolder();
    if (TrimSpaces(folder).isEmpty()) {
        ShowReadOnlyMessage(ui_, folder);
        return false;
    }
    out_.folder = WithTrailingSeparator(folder);
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

/// Works out every page name before the first file is written, so no chapter's
/// page is ever written over by another's.
void ProjectBuild::planPages(int count) {
    pages_ = PlanBookPages(out_, count);
    out_.withoutPage.assign(pages_.size(), false);
    for (size_t i = 0; i < pages_.size(); ++i) {
        out_.withoutPage[i] = pages_[i].claim != PageClaim::Own;
    }
}

/// A file in the book's way that Tessarel did not write stays, unless the
/// user agreed to its replacing: a chapter whose page it is fails when its
/// turn comes, and the book goes without a book file it is.
void ProjectBuild::keepForeignFiles() {
    planned_ = PlannedFiles(out_, pages_, sources_);
    const QSet<QString> agreed(options_.replace.cbegin(), options_.replace.cend());
    for (const PlannedFile& file : ForeignFiles(out_, planned_, *owner_)) {
        if (agreed.contains(file.name)) {
            continue;
        }
        keptNames_ << file.name;
        if (file.chapter >= 0) {
            pages_[static_cast<size_t>(file.chapter)].claim = PageClaim::ForeignFile;
            out_.withoutPage[static_cast<size_t>(file.chapter)] = true;
            continue;
        }
        out_.kept.insert(file.name);
        ++result_.filesKept;
        ui_.addLogRow(ForeignFileReason(), FileNameOf(file.name), RowStatus::Failed, QStringLiteral("---"), file.name);
    }
}

/// Removes what earlier builds wrote that this book no longer has: the files
/// of settings now off, an old style sheet, the pages of chapters gone.
void ProjectBuild::removeUnusedFiles() {
    QSet<QString> inUse;
    for (const PlannedFile& file : planned_) {
        inUse.insert(file.name);
    }
    if (settings_.GenerateHtmlHelpFiles) {
        inUse.insert(HelpFolderFileName(BaseNameOf(project_.ProjectFileName) + QStringLiteral(".chm")));
    }
    removed_ = RemoveUnusedFiles(out_, sources_, inUse, *owner_);
    for (const QString& name : std::as_const(removed_)) {
        ui_.addLogRow(QStringLiteral("> Old File Removed"), QString(), RowStatus::Ok, QString(), name);
    }
}

/// The files kept as the user's, told once: the book is not whole without them.
void ProjectBuild::tellKeptFiles() {
    if (keptNames_.isEmpty()) {
        return;
    }
    ui_.message(QStringLiteral("Files kept"),
                QStringLiteral("These files in the destination folder were not written by Tessarel, so the build "
                               "kept them and the book is not complete without them:") +
                    kCrLf + keptNames_.join(kCrLf) + kCrLf +
                    QStringLiteral("Move them away or choose another destination folder, then build again."),
                MessageIcon::Exclamation, MessageButtons::Ok);
}

}  // namespace

ProjectModel BookProjectOf(const ProjectModel& project) {
    ProjectModel book = project;
    Settings& settings = book.settings;
    settings.Copyright = HtmlFormOf(settings.Copyright);
    settings.IndexText = HtmlFormOf(settings.IndexText);
    if (settings.ModernLayout) {
        // A modern book links its one sheet and has no frames.
        settings.EmbedStyle = false;
        settings.Collapsible = false;
    }
    if (!settings.UseChapterTitleInIndex && settings.SortFilenames) {
        SortChapters(book, 0, book.chapterCount() - 1);
    }
    return book;
}

ProjectBuildResult BuildProject(Workspace& workspace, const ProjectBuildOptions& options) {
    return ProjectBuild(workspace, options).run();
}

void ApplyBuildToProject(const ProjectBuildResult& result, ProjectModel& project) {
    if (!result.started) {
        return;
    }
    project.Chapters = result.chapters;
    project.settings.Copyright = result.copyright;
    project.settings.IndexText = result.indexText;
}

}  // namespace tessarel
