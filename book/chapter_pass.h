#pragma once

#include "book/build_record.h"

#include <QDateTime>
#include <QStringList>

#include <optional>
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
    /// The last build's record: a chapter it holds whose source and page are
    /// unchanged is replayed, not built. Null for a full build.
    const BuildRecord* previous = nullptr;
    /// Whether the chapters are to be recorded for the next build.
    bool recording = false;
};

/// How one chapter went.
struct ChapterOutcome {
    bool written = true;            ///< false: a file could not be written (already told), and the build stops
    bool failed = false;            ///< its log row is a failed one
    int sections = 0;               ///< sections the book lists for it; 0 lists it nowhere
    QStringList sectionNames = {};  ///< the names of sections 2..sections
    /// The chapter as the next build finds it, when recording and its page
    /// was built from its source (or reused).
    std::optional<ChapterRecord> record = {};
    bool reused = false;
};

/// Builds chapter `i`: its page, its error page or the copy of its HTML source,
/// never in place of a source or another chapter's page; logs its row and
/// records its title and whether it is documented. A chapter the previous
/// build recorded, with the same source and its page untouched, is replayed.
ChapterOutcome BuildBookChapter(const ChapterPass& pass, int i);

}  // namespace tessarel
