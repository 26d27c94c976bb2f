#pragma once

#include "book/help_compiler_run.h"
#include "book/workspace.h"
#include "support/paths.h"
#include "support/text_file.h"

#include <QString>

#include <memory>
#include <utility>
#include <vector>

namespace tessarel {

struct BookOutput;
struct Chapter;
struct ChapterResult;
struct Settings;
class UserInterface;

/// A listed chapter's lines in the growing lists and its index entries.
struct ChapterListing {
    QString rows;         ///< "_dindex.htm"
    QString helpBlock;    ///< "contents.hhc", when the book has help files
    QString activeBlock;  ///< "contents_active.hhc", when the contents are collapsible
    std::vector<IndexEntry> index;
};

/// The listing of chapter `chapter` built as `built` (which lists sections),
/// with its page `page`. Reads only its arguments, so a worker can make it.
ChapterListing MakeChapterListing(const Chapter& chapter, const QString& page, const ChapterResult& built,
                                  const Settings& settings);

/// The book files that list the chapters as they are built: "_dindex.htm" and,
/// as the settings ask, "contents_active.hhc", "HTML Help/help.hhp" and
/// "HTML Help/contents.hhc". Each grows beside its place, in a file of its own
/// made for this build, and takes the place only when whole: a failed or
/// stopped build leaves the previous one intact.
class ChapterLists {
public:
    explicit ChapterLists(const BookOutput& out);
    ChapterLists(const ChapterLists&) = delete;
    ChapterLists& operator=(const ChapterLists&) = delete;

    /// Opens every list with its head; false, the user told, when one cannot be started.
    bool start();
    /// Lists a built chapter and its sections 2..built.sections and adds them
    /// to the index entries.
    bool add(const Chapter& chapter, const QString& page, const ChapterResult& built);
    /// Closes every list and puts it in its place.
    bool finish();
    /// Removes the lists unfinished; their places keep the previous build's files.
    void drop() { growing_.clear(); }

    /// The pages listed in "help.hhp" so far.
    const HelpBookSize& helpBook() const { return helpBook_; }

private:
    bool startGrowing(const QString& path, const QString& head);
    bool append(const QString& path, const QString& text);
    TextFileWriter* growingFile(const QString& path);

    const BookOutput& out_;
    UserInterface& ui_;
    const Settings& settings_;
    /// Files started and not yet in place, each with the file it takes.
    std::vector<std::pair<QString, std::unique_ptr<TextFileWriter>>> growing_;
    HelpBookSize helpBook_;
};

}  // namespace tessarel
