#pragma once

#include <QDateTime>
#include <QString>

#include <vector>

namespace tessarel {

struct BookOutput;
struct ChapterPagePlan;
struct Workspace;
class ProjectSources;

/// What a project build gives every chapter.
struct ChapterPass {
    Workspace& ws;
    const BookOutput& out;
    const ProjectSources& sources;
    const std::vector<ChapterPagePlan>& pages;  ///< PlanChapterPages
    QDateTime generatedAt;
    /// When set, each chapter's section snippets (ChapterPageContext::snippets).
    std::vector<QString>* snippets = nullptr;
};

/// How one chapter went.
struct ChapterOutcome {
    bool written = true;  ///< false: a file could not be written (already told), and the build stops
    bool failed = false;  ///< its log row is a failed one
    int sections = 0;     ///< sections the book lists for it; 0 lists it nowhere
};

/// Builds chapter `i`: its page, its error page or the copy of its HTML source,
/// never in place of a source or another chapter's page; logs its row and
/// records its title and whether it is documented.
ChapterOutcome BuildBookChapter(const ChapterPass& pass, int i);

}  // namespace tessarel
