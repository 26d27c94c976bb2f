// The builds the main window starts: the questions asked before one, the
// build on its own thread (BuildThread), and what follows it once it is over.
#include "app/front_end.h"
#include "app/handler_guard.h"
#include "app/main_commands.h"
#include "book/book_files.h"
#include "book/project_build.h"
#include "book/workspace.h"
#include "pages/single_file_build.h"
#include "support/environment.h"
#include "support/paths.h"
#include "support/string_functions.h"

#include <algorithm>
#include <memory>

namespace tessarel {

void MainCommands::build() {
    if (projectOpen()) {
        buildProject();
    } else if (!TrimSpaces(workspace_.document.SourceFilePath).isEmpty()) {
        buildSingleFile();
    }
}

void MainCommands::rebuildAll() {
    if (projectOpen()) {
        buildProject(true);
    } else {
        build();
    }
}

QString ReplaceQuestionText(const QStringList& names, ReplacingBuild build) {
    const bool book = build == ReplacingBuild::Book;
    // A long list is cut: the question must fit on the screen.
    constexpr qsizetype kShown = 15;
    QString text = book ? QStringLiteral("These files in the destination folder were not written by Tessarel:")
                        : QStringLiteral("This file beside the source was not written by Tessarel:");
    for (qsizetype i = 0; i < std::min(names.size(), kShown); ++i) {
        text += kCrLf + QStringLiteral("    ") + names.at(i);
    }
    if (names.size() > kShown) {
        text += kCrLf + QStringLiteral("    and ") + QString::number(names.size() - kShown) + QStringLiteral(" more");
    }
    return text + kCrLf + kCrLf +
           (book ? QStringLiteral("The book has files of the same names. OK builds it and replaces them; "
                                  "Cancel builds nothing.")
                 : QStringLiteral("The source's page has the same name. OK builds the page and replaces the "
                                  "file; Cancel builds nothing."));
}

bool MainCommands::startBuild(BuildThread::Work work, std::function<void()> show, const ErrorSite& site,
                              std::function<void()> then) {
    setBuilding(true);
    const bool started = builds.start(std::move(work), [this, show = std::move(show), &site,
                                                        then = std::move(then)](const std::exception_ptr& error) {
        setBuilding(false);
        view_.buildEnded();
        // On the event loop: nothing may escape; a critical error has been reported.
        RunEventHandler([&] {
            RunReported(workspace_.env, front_, site, [&] {
                if (error) {
                    std::rethrow_exception(error);
                }
                show();
            });
        });
        if (then) {
            then();
        }
    });
    if (!started) {
        setBuilding(false);
    }
    return started;
}

bool MainCommands::buildProject(bool rebuild, const std::function<void()>& then) {
    bool started = false;
    RunReported(workspace_.env, front_, sites::kBuildProject, [&] {
        if (builds.running()) {
            return;
        }
        // The window can ask: a file of the user's is replaced only when the user says so.
        ProjectBuildOptions options{.rebuild = rebuild, .replace = FilesABuildWouldReplace(workspace_)};
        if (!replacingAllowed(options.replace, ReplacingBuild::Book)) {
            return;
        }
        workspace_.env.ui.setCancelRequested(false);
        auto result = std::make_shared<ProjectBuildResult>();
        started = startBuild([options, result](Workspace& ws) { *result = ::tessarel::BuildProject(ws, options); },
                             [this, result] {
                                 if (result->critical) {
                                     front_.endProgram();
                                     return;
                                 }
                                 // The Files dialog and a save show the book's order and texts, as they always have.
                                 ApplyBuildToProject(*result, workspace_.project);
                                 if (!result->indexPage.isEmpty()) {
                                     front_.navigate(result->indexPage);
                                 }
                                 if (!result->compile.helpTopic.isEmpty()) {
                                     front_.showHelpTopic(result->compile.helpTopic);
                                 }
                             },
                             sites::kBuildProject, then);
    });
    return started;
}

bool MainCommands::replacingAllowed(const QStringList& names, ReplacingBuild build) {
    return names.isEmpty() ||
           workspace_.env.ui.message(QStringLiteral("Replace Files"), ReplaceQuestionText(names, build),
                                     MessageIcon::Question, MessageButtons::OkCancel) == MessageAnswer::Ok;
}

bool MainCommands::pageReplacingAllowed(const QString& source, bool& replace) {
    const QString page = PageABuildWouldReplace(source);
    replace = !page.isEmpty();
    return replacingAllowed(replace ? QStringList{FileNameOf(page)} : QStringList(), ReplacingBuild::Page);
}

bool MainCommands::buildSingleFile(ForeignPage foreign, const std::function<void(bool shown)>& then) {
    bool replace = false;
    if (builds.running() ||
        (foreign == ForeignPage::Ask && !pageReplacingAllowed(workspace_.document.SourceFilePath, replace))) {
        return false;
    }
    return runSingleFileBuild(replace, then);
}

bool MainCommands::runSingleFileBuild(bool replaceForeignPage, const std::function<void(bool shown)>& then) {
    bool started = false;
    RunIgnoringErrors([&] {
        Workspace& ws = workspace_;
        // The build's own copies: the window's may change while it runs.
        const Settings settings = ws.project.settings;
        const PageStyle style = ResolvePageStyle(ws.env.paths, settings, false);
        const QString source = ws.document.SourceFilePath;
        const QDateTime generatedAt = BuildTimestamp();
        auto result = std::make_shared<SingleFileResult>();
        auto shown = std::make_shared<bool>(false);
        started = startBuild(
            [=](Workspace& work) {
                *result = BuildSingleFile(work.env, {work.document, work.page},
                                          {source, settings, style, generatedAt, replaceForeignPage});
            },
            [this, result, shown] {
                if (result->critical) {
                    front_.endProgram();
                    return;
                }
                workspace_.singleFilePage = result->page;
                if (!result->pageToShow.isEmpty()) {
                    front_.navigate(result->pageToShow);
                    *shown = true;
                }
            },
            sites::kBuildSingleFile,
            [then, shown] {
                if (then) {
                    then(*shown);
                }
            });
    });
    return started;
}

}  // namespace tessarel
