#pragma once

#include <QSet>
#include <QString>
#include <QStringView>

#include <vector>

namespace tessarel {

struct Chapter;
struct IndexEntry;
struct PageStyle;
struct ProjectModel;
struct Settings;
struct Workspace;
class UserInterface;

/// What a project build found in a chapter; empty for one it did not reach.
struct ChapterFinding {
    QString title;            ///< as HTML
    bool documented = false;  ///< it has sections of its own (or is an HTML page)
};

/// Where and how the files of one project build are written.
struct BookOutput {
    Workspace& ws;
    /// The project as the book is made from it (BookProjectOf), never the
    /// workspace's, which the build leaves as it is.
    const ProjectModel& project;
    const PageStyle& style;
    QString folder;         ///< the destination folder, ending with a separator
    int chaptersBuilt = 0;  ///< chapters 0..chaptersBuilt-1 were built in this run
    /// Chapters that may not have their page (a taken page name, a bad name):
    /// they are listed nowhere in the book.
    std::vector<bool> withoutPage = {};
    /// Book files (names below the folder, as BookFileNames gives them) that
    /// Tessarel did not write: they stay as they are, and the book goes without them.
    QSet<QString> kept = {};
    /// What the build found in each chapter so far, by chapter.
    std::vector<ChapterFinding> found = {};
    /// The sorted index entries when they are not the workspace's own: writers
    /// beside each other have a workspace each and read one index.
    const std::vector<IndexEntry>* index = nullptr;

    const std::vector<IndexEntry>& indexEntries() const;

    bool hasPage(int chapter) const {
        return chapter < 0 || static_cast<size_t>(chapter) >= withoutPage.size() ||
               !withoutPage[static_cast<size_t>(chapter)];
    }

    bool keeps(const QString& name) const { return !kept.isEmpty() && kept.contains(name); }

    /// The linked style sheet's file name; "" when the book writes none.
    QString styleSheet() const;

    /// A file of the destination folder.
    QString path(const QString& fileName) const { return folder + fileName; }
    /// A file of the destination's "HTML Help" folder.
    QString helpPath(const QString& fileName) const;
    QString helpFolder() const;
};

/// A modern book's title, as plain text: the project title, else the project file's name.
QString ModernBookTitle(const ProjectModel& project);
/// The page name of a chapter. Only the part after the last separator counts, so
/// a name such as "../x.c" never leads a page out of the destination folder.
QString BookPageName(const QString& chapterName);
/// A section's anchor as the HTML Help files link it: spaces become "^".
QString SectionAnchor(const QString& sectionName);
/// The text a chapter is listed under, as HTML: its title or its escaped file name.
QString ChapterEntryText(const Chapter& chapter, const ChapterFinding& found, const Settings& settings);
/// A page name as an href or src value: a relative URL, escaped for the attribute.
QString PageHref(const QString& page);
/// A page link with an anchor (a section name, kept as the page's anchors are).
QString AnchorHref(const QString& page, const QString& anchor);
/// An index entry's topic (FileNameUrl of the page, then "#" and an anchor for
/// a section) as an href value.
QString TopicHref(const QString& topic);
/// Appends TopicHref's form of `topic` to `out`, without a string of its own.
void AppendTopicHref(QString& out, const QString& topic);
/// Whether TopicHref(topic) is `topic` itself: nothing in it to escape.
bool TopicIsItsHref(const QString& topic);

}  // namespace tessarel
