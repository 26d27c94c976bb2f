#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

#include "app/front_end.h"
#include "app/main_view.h"
#include "app/preview_browser.h"
#include "support/testing.h"

namespace tessarel::testing {

/// A main window stand-in for the logic: records what the window was told and
/// answers the file and project dialogs from scripts.
class RecordingView : public MainView, public FileDialogs, public FrontEnd {
public:
    void navigate(const QString& path) override { navigations << path; }
    void shellOpen(const QString& target) override { shellOpens << target; }
    void showHelpTopic(const QString& helpPath) override { helpTopics << helpPath; }
    void endProgram() override { ++programEnds; }
    void setCaption(const QString& text) override { caption = text; }
    void setStatusPanel(int panel, const QString& text) override {
        (panel == 1 ? panel1 : panel == 2 ? panel2 : panel3) = text;
    }
    void commandsChanged() override { ++commandRefreshes; }
    void recentFilesChanged() override { ++recentRefreshes; }
    bool showDialog(ProjectDialog dialog) override {
        dialogsShown.push_back(dialog);
        return true;
    }
    void showAbout() override { ++aboutShown; }
    void processEvents() override {}
    void stopBrowser() override { ++browserStops; }
    void showPage(const QString& html) override { pages << html; }
    void unloadMainWindow() override { ++unloads; }
    void beginQuietBuild() override { ++quietBuilds; }
    QStringList endQuietBuild() override { return quietProblems; }
    bool modalWindowOpen() const override {
        ++modalAsks;
        return modalOpen;
    }
    QString openFileName(const QString& title, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& filter) override;

    QString caption, panel1, panel2, panel3;
    /// What the quiet builds report as their problems; whether a dialog is open.
    QStringList quietProblems;
    bool modalOpen = false;
    /// How often the logic has asked whether a dialog is open.
    mutable int modalAsks = 0;
    int quietBuilds = 0;
    QStringList pages;
    int commandRefreshes = 0, recentRefreshes = 0, aboutShown = 0, browserStops = 0, unloads = 0, programEnds = 0;
    /// The project dialogs shown, each left with OK.
    std::vector<ProjectDialog> dialogsShown;
    /// Names the file dialogs return in order; "" (Cancel) when empty.
    std::deque<QString> fileAnswers;
    QStringList fileDialogTitles;
    /// What the front end was asked to show.
    QStringList navigations, shellOpens, helpTopics;
};

/// A preview browser that only remembers where it was sent.
class RecordingBrowser : public PreviewBrowser {
    Q_OBJECT
public:
    using PreviewBrowser::PreviewBrowser;
    void navigate(const QString& path) override { navigations << path; }
    void refresh(const QString& path) override { refreshes << path; }
    void showHtml(const QString& html) override { pages << html; }
    void back() override { ++backs; }
    void forward() override { ++forwards; }
    void stop() override { ++stops; }
    QString currentAddress() const override { return navigations.isEmpty() ? QString() : navigations.back(); }
    bool isLoading() const override { return loading; }
    bool canGoBack() const override { return canBack; }
    bool canGoForward() const override { return canForward; }

    QStringList navigations, pages, refreshes;
    bool loading = false, canBack = false, canForward = false;
    int backs = 0, forwards = 0, stops = 0;
};

/// Paints every visible window where it stands on the screen into
/// "<screenshots>/<name>.png" (TESSAREL_SCREENSHOTS, else "screenshots" in the
/// working folder) and attaches the file to the test's record; returns its path.
/// Painting the windows works on the offscreen platform as under a display.
QString AttachScreenshot(const QString& name);

/// A source file with one documented section, in C comments.
QString DocumentedSource(const QString& sectionName);

/// Saves "<root>/<relative>", a project of `files` documented chapters "src/f<i>.c"
/// written beside it, with the destination "out/"; returns its path.
QString SaveTestProject(TestEnvironment& te, const QString& relative, int files);

}  // namespace tessarel::testing
