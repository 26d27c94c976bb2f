#pragma once

#include "book/help_compiler_run.h"
#include "extract/document_model.h"
#include "pages/page_frame.h"
#include "project/project_model.h"

#include <QString>

#include <vector>

namespace tessarel {

struct Environment;

/// One entry of the sorted index and the HTML Help indexes.
struct IndexEntry {
    QString EntryText;
    QString EntryPage;  ///< FileNameUrl of the page, with "#" and an anchor for a section
    bool IsChapter = false;
};

/// All state of a running Tessarel: one document, one project, one page buffer.
/// Owned by the application object (window, console program or test).
struct Workspace {
    explicit Workspace(Environment& environment) : env(environment) {}

    Environment& env;
    DocumentModel document;
    ProjectModel project;
    PageBuffer page;
    /// The page of the open source file as its last build left it
    /// (SingleFileResult::page); "" when there is none.
    QString singleFilePage;
    std::vector<IndexEntry> IndexEntries;
    CompilerTimeLimit compilerTimeLimit;
    /// The largest file of the book a help compile is given; larger ones are left out.
    qint64 largestHelpFile = kMaxReadBytes;
    /// Chapters a project build makes at once; 0: the user's preference, else
    /// one per core. 1 builds them one after the other on the calling thread.
    int buildWorkers = 0;
};

}  // namespace tessarel
