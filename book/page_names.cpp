#include "book/page_names.h"

#include <QHash>

#include "book/book_files.h"
#include "book/book_output.h"
#include "book/project_sources.h"
#include "book/workspace.h"
#include "pages/outcome_table.h"
#include "pages/page_paths.h"
#include "project/project_model.h"
#include "support/paths.h"
#include "support/string_functions.h"
#include "support/user_interface.h"

namespace tessarel {

namespace {

QString CompareKey(const QString& name) { return FileNamesIgnoreCase() ? name.toCaseFolded() : name; }

bool HasNul(const QString& text) { return text.contains(QChar(u'\0')); }

const Chapter& ChapterAt(const ProjectModel& project, int i) { return project.Chapters[static_cast<size_t>(i)]; }

/// The chapter as the project names it: its folder and its name.
QString ChapterDisplayName(const Chapter& chapter) {
    const QString folder = NativeSeparators(chapter.RelPath);
    return folder.isEmpty() ? chapter.Name : WithTrailingSeparator(folder) + chapter.Name;
}

/// The files the book writes besides the chapter pages, and its help folder,
/// whatever its settings: a page must not depend on a setting to survive.
QStringList NamesOfTheBook(const QString& styleSheetFile) {
    return BookFileNames(nullptr, styleSheetFile) << QStringLiteral("HTML Help");
}

}  // namespace

std::vector<ChapterPagePlan> PlanChapterPages(const ProjectModel& project, int count, const QString& styleSheetFile,
                                              const std::function<bool(int)>& isOwnPage) {
    std::vector<ChapterPagePlan> plan(static_cast<size_t>(std::max(count, 0)));
    QHash<QString, int> holders;
    for (const QString& name : NamesOfTheBook(styleSheetFile)) {
        holders.insert(CompareKey(name), -1);
    }
    // A page that is its own source is the user's file: no other chapter may take it.
    if (isOwnPage) {
        for (int i = 0; i < count; ++i) {
            const Chapter& chapter = ChapterAt(project, i);
            const QString key = CompareKey(BookPageName(chapter.Name));
            if (!HasNul(chapter.Name) && !HasNul(chapter.RelPath) && !holders.contains(key) && isOwnPage(i)) {
                holders.insert(key, i);
            }
        }
    }
    for (int i = 0; i < count; ++i) {
        const Chapter& chapter = ChapterAt(project, i);
        ChapterPagePlan& entry = plan[static_cast<size_t>(i)];
        if (HasNul(chapter.Name) || HasNul(chapter.RelPath)) {
            entry.claim = PageClaim::BadName;
            continue;
        }
        entry.page = BookPageName(chapter.Name);
        const QString key = CompareKey(entry.page);
        const auto held = holders.constFind(key);
        if (held == holders.cend()) {
            holders.insert(key, i);
        } else if (held.value() != i) {
            entry.holder = held.value();
            entry.claim = entry.holder < 0 ? PageClaim::TakenByBook : PageClaim::TakenByChapter;
        }
    }
    return plan;
}

std::vector<ChapterPagePlan> PlanBookPages(const BookOutput& out, int count) {
    const ProjectModel& project = out.project;
    const auto isOwnPage = [&](int i) {
        const Chapter& chapter = ChapterAt(project, i);
        return IsHtmlFileName(chapter.Name) &&
               IsSameFile(ChapterSourcePath(project, chapter), out.path(BookPageName(chapter.Name)));
    };
    return PlanChapterPages(project, count, out.style.name + QStringLiteral(".css"), isOwnPage);
}

namespace {

/// The nearest chapter before (step -1) or after (step 1) chapter `i` that has its page.
PagerLink Neighbour(const ProjectModel& project, const std::vector<ChapterPagePlan>& plan, int i, int step) {
    for (int j = i + step; j >= 0 && j < static_cast<int>(plan.size()); j += step) {
        if (plan[static_cast<size_t>(j)].claim == PageClaim::Own) {
            return {plan[static_cast<size_t>(j)].page, ChapterAt(project, j).Name};
        }
    }
    return {};
}

}  // namespace

ModernPlace ModernChapterPlace(const BookOutput& out, const std::vector<ChapterPagePlan>& plan, int i) {
    ModernPlace place;
    place.kind = QStringLiteral("chapter");
    place.page = plan[static_cast<size_t>(i)].page;
    place.bookTitle = ModernBookTitle(out.project);
    place.search = out.project.settings.IncludeSearch;
    place.previous = Neighbour(out.project, plan, i, -1);
    place.next = Neighbour(out.project, plan, i, 1);
    return place;
}

ChapterJob PlanChapterJob(const BookOutput& out, const ProjectSources& sources,
                          const std::vector<ChapterPagePlan>& plan, int i) {
    const Chapter& chapter = ChapterAt(out.project, i);
    ChapterJob job;
    job.mode = ChapterJob::Mode::Book;
    job.source = sources.chapterPath(i);
    job.item = chapter.Name;
    job.pageName = plan[static_cast<size_t>(i)].page;
    job.page = MakeChapterOutputPath(out.folder, job.pageName);
    job.html = IsHtmlFileName(chapter.Name);
    // An HTML source that already lies in the destination is its own copy.
    const bool ownCopy = job.html && FileExists(job.source) && IsSameFile(job.source, out.path(job.pageName));
    if (job.html && !ownCopy) {
        job.htmlCopy = job.page;
    }
    job.pageIsSource = !ownCopy && sources.contains(out.path(job.pageName));
    job.replaceForeignPage = true;
    if (out.project.settings.ModernLayout) {
        job.modern = ModernChapterPlace(out, plan, i);
    }
    return job;
}

void LogRefusedChapter(UserInterface& ui, const ProjectModel& project, const std::vector<ChapterPagePlan>& plan,
                       int i) {
    const Chapter& chapter = ChapterAt(project, i);
    const ChapterPagePlan& entry = plan[static_cast<size_t>(i)];
    const QString none = QStringLiteral("---");
    switch (entry.claim) {
    case PageClaim::Own:
        break;
    case PageClaim::BadName:
        ui.addLogRow(QStringLiteral("Bad File Name"), chapter.Name, RowStatus::Failed, none, none);
        break;
    case PageClaim::TakenByChapter:
        ui.addLogRow(QStringLiteral("Page Name Taken"), ChapterDisplayName(chapter), RowStatus::Failed,
                     QStringLiteral("Page of ") + ChapterDisplayName(ChapterAt(project, entry.holder)), entry.page);
        break;
    case PageClaim::TakenByBook:
        ui.addLogRow(QStringLiteral("Page Name Taken"), ChapterDisplayName(chapter), RowStatus::Failed,
                     QStringLiteral("Page of the book"), entry.page);
        break;
    case PageClaim::ForeignFile:
        ui.addLogRow(ForeignFileReason(), ChapterDisplayName(chapter), RowStatus::Failed, none, entry.page);
        break;
    }
}

QString PageCollisionText(const ProjectModel& project, const std::vector<ChapterPagePlan>& plan, int last) {
    QString lines;
    for (int i = 0; i <= last && i < static_cast<int>(plan.size()); ++i) {
        const ChapterPagePlan& entry = plan[static_cast<size_t>(i)];
        if (entry.claim != PageClaim::TakenByChapter && entry.claim != PageClaim::TakenByBook) {
            continue;
        }
        const QString owner =
            entry.claim == PageClaim::TakenByBook
                ? QStringLiteral("a file of the book")
                : QStringLiteral("the page of ") + ChapterDisplayName(ChapterAt(project, entry.holder));
        lines += kCrLf + ChapterDisplayName(ChapterAt(project, i)) + QStringLiteral(": ") + entry.page +
                 QStringLiteral(" is ") + owner;
    }
    if (lines.isEmpty()) {
        return QString();
    }
    return QStringLiteral("These chapters were not built, as their page names are taken:") + lines;
}

}  // namespace tessarel
