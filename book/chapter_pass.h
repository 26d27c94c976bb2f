#pragma once

#include "book/search_index.h"
#include "pages/chapter_job.h"
#include "support/user_interface.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace tessarel {

struct ChapterListing;
struct BookOutput;
struct BuildRecord;
struct ChapterPagePlan;
struct Workspace;
class ProjectSources;

/// What a project build gives every chapter. Only read while chapters are built.
struct ChapterPass {
    const Workspace& ws;
    const BookOutput& out;
    const ProjectSources& sources;
    const std::vector<ChapterPagePlan>& pages;  ///< PlanChapterPages
    QDateTime generatedAt;
    /// The last build's record: a chapter it holds whose source and page are
    /// unchanged is replayed, not built. Null for a full build.
    const BuildRecord* previous = nullptr;
    /// Whether chapters note their files for the next build's record.
    bool recording = false;
    /// Whether chapters keep their sections' first words for the search index.
    bool keepSnippets = false;
    /// Whether a worker makes a replayed chapter's listing: not while the
    /// build may keep the whole book as it is, which lists nothing.
    bool listReplayed = true;
};

/// One thing a chapter's build told the user, kept to be told again, in order,
/// when its result is applied.
struct ChapterNote {
    enum class Kind { LogRow, Message, LogText };
    Kind kind = Kind::LogRow;
    // LogRow: the cells of UserInterface::addLogRow.
    QString reason, item;
    RowStatus status = RowStatus::Failed;
    QString title, output;
    // Message: `title` and `text` with icon and buttons. LogText: `text`.
    QString text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;

    bool operator==(const ChapterNote&) const = default;

    static ChapterNote row(const QString& reason, const QString& item, RowStatus status, const QString& title,
                           const QString& output) {
        ChapterNote note;
        note.reason = reason;
        note.item = item;
        note.status = status;
        note.title = title;
        note.output = output;
        return note;
    }
    static ChapterNote message(const QString& title, const QString& text, MessageIcon icon, MessageButtons buttons) {
        ChapterNote note;
        note.kind = Kind::Message;
        note.title = title;
        note.text = text;
        note.icon = icon;
        note.buttons = buttons;
        return note;
    }
    static ChapterNote logText(const QString& text) {
        ChapterNote note;
        note.kind = Kind::LogText;
        note.text = text;
        return note;
    }
};

/// Everything one chapter's build produced besides its files, as a plain
/// value: the project build applies results in chapter order, and a result
/// kept from an earlier build can stand for a chapter that is not built again.
struct ChapterResult {
    int chapter = -1;         ///< its index in the project
    bool written = true;      ///< false: a file could not be written (already in `notes`), and the build stops
    bool failed = false;      ///< its log row is a failed one
    int sections = 0;         ///< sections the book lists for it; 0 lists it nowhere
    bool documented = false;  ///< ChapterFinding::documented
    QString title;            ///< ChapterFinding::title, as HTML
    /// The names of sections 2..sections, as the contents and the index list
    /// them (the anchors are made from them).
    QStringList sectionNames;
    /// The first words of each section's text as plain text, by section number
    /// (1..), for the search index; empty when the build keeps none.
    std::vector<QString> snippets;
    /// Read from a record: the record's bytes of the two lists above, which
    /// stay empty until ReadRecordedLists; a chapter whose book is kept as it
    /// was never needs them. Written back as they were.
    QByteArray recordedLists;
    /// Its line in the search index, made when it is first listed and kept in the record.
    SearchChapter search;
    /// Log rows, messages and log text in the order the build gave them.
    std::vector<ChapterNote> notes;
    /// Set when recording and the page was built from the source read (or
    /// reused): the chapter's entry in the next build's record.
    std::optional<ChapterFiles> files = {};
    bool reused = false;  ///< replayed from the last build's record
    /// A critical error was reported: the build stops, and the front end ends the program.
    bool critical = false;
    /// Its lines in the growing lists, made beside the chapter on a worker
    /// (never recorded); without them the lists make their own.
    std::shared_ptr<const ChapterListing> listing = {};

    bool operator==(const ChapterResult&) const = default;
};

/// A UserInterface that records a chapter's rows, messages and log text into
/// its result. Progress and Cancel go to `live` when the chapter is
/// built on the thread that owns it; without one they are dropped, and Cancel
/// reads `cancel`.
class ChapterRecorder : public UserInterface {
public:
    ChapterRecorder(ChapterResult& result, UserInterface* live, const std::atomic<bool>* cancel = nullptr)
        : result_(result), live_(live), cancel_(cancel) {}

    MessageAnswer message(const QString& title, const QString& text, MessageIcon icon, MessageButtons buttons) override;
    void setProgressMaximum(int max) override;
    void resetProgress() override;
    void advanceProgress() override;
    void setProgressCaption(const QString& caption) override;
    bool cancelRequested() const override;
    void setCancelRequested(bool requested) override;
    void addLogText(const QString& text) override;

protected:
    void showLogRow(const QString& reason, const QString& item, RowStatus status, const QString& title,
                    const QString& output) override;

private:
    ChapterResult& result_;
    UserInterface* live_;
    const std::atomic<bool>* cancel_;
};

/// Builds chapter `i` in `work`: its page, its error page or the copy of its
/// HTML source, never in place of a source or another chapter's page. Writes
/// only that chapter's files; its row, title and listing go to the result.
/// `live`, when given, sees the chapter's progress (see ChapterRecorder);
/// without it, Cancel reads `cancel`. A chapter the last build recorded, with
/// the same source and its page untouched, is not built: its recorded result
/// is given back.
ChapterResult BuildBookChapter(const ChapterPass& pass, ChapterWorkspace work, int i, UserInterface* live,
                               const std::atomic<bool>* cancel = nullptr);

/// The result of a chapter whose build ran out of memory: its source counts as
/// not read, and its old page stays.
ChapterResult OutOfMemoryChapter(const ChapterPass& pass, int i);

/// Tells `ui` what the chapter's build told, in its order.
void ReplayChapterNotes(UserInterface& ui, const ChapterResult& result);
/// Tells `ui` the notes, in their order.
void ReplayNotes(UserInterface& ui, const std::vector<ChapterNote>& notes);

}  // namespace tessarel
