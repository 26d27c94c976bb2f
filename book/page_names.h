#pragma once

#include "pages/chapter_job.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace tessarel {

struct BookOutput;
struct Chapter;
struct ProjectModel;
class ProjectSources;
class UserInterface;

/// Whether a chapter of a project build may have its page.
enum class PageClaim {
    Own,             ///< the page is the chapter's
    BadName,         ///< its name or folder holds a NUL, which no file name can
    TakenByChapter,  ///< an earlier chapter has the same page name
    TakenByBook,     ///< the page name is a file the book writes itself
    ForeignFile,     ///< a file Tessarel did not write has the page's name: it is kept
};

struct ChapterPagePlan {
    QString page;  ///< BookPageName of the chapter
    PageClaim claim = PageClaim::Own;
    int holder = -1;  ///< TakenByChapter: the chapter that keeps the page
};

/// Every chapter's page, worked out before anything is written. The first
/// chapter of a page name keeps it; a later one with the same name, or one
/// named like a book file, cannot have it. Letter case counts as the file
/// systems of the platform count it (FileNamesIgnoreCase).
/// A chapter for which `isOwnPage` is true (an HTML source that already lies in
/// the destination under its page name) keeps that page before any other.
std::vector<ChapterPagePlan> PlanChapterPages(const ProjectModel& project, int count, const QString& styleSheetFile,
                                              const std::function<bool(int)>& isOwnPage = {});

/// PlanChapterPages for a build into `out`: an HTML source that already lies
/// in the destination under its page name keeps that page.
std::vector<ChapterPagePlan> PlanBookPages(const BookOutput& out, int count);

/// Chapter `i`'s place in a modern book: its neighbours with a page, by
/// the plan, are its previous and next chapters.
ModernPlace ModernChapterPlace(const BookOutput& out, const std::vector<ChapterPagePlan>& plan, int i);

/// Chapter `i`'s job in a build into `out`, for a chapter the plan lets have
/// its page: where its source is read from, where its page goes, whether an
/// HTML source is copied there or lies there already, and whether a source of
/// the book (`sources`) stands at the page's place. The destination's files
/// have been judged before, so the page replaces what is there.
ChapterJob PlanChapterJob(const BookOutput& out, const ProjectSources& sources,
                          const std::vector<ChapterPagePlan>& plan, int i);

/// Logs the failed row of chapter `i`, which the plan does not let have its page.
void LogRefusedChapter(UserInterface& ui, const ProjectModel& project, const std::vector<ChapterPagePlan>& plan, int i);

/// One text listing every chapter whose page name is taken, up to chapter
/// `last`; "" when there is none.
QString PageCollisionText(const ProjectModel& project, const std::vector<ChapterPagePlan>& plan, int last);

}  // namespace tessarel
