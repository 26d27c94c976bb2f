#pragma once

#include "app/front_end.h"
#include "app/main_window_state.h"
#include "book/workspace.h"
#include "support/testing.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

class QDialog;

namespace tessarel::testing {

/// Records the help topics the dialogs ask for.
struct RecordingFrontEnd : FrontEnd {
    void navigate(const QString&) override {}
    void shellOpen(const QString&) override {}
    void showHelpTopic(const QString& helpPath) override { helpTopics << helpPath; }
    void endProgram() override { ++programEnds; }
    QStringList helpTopics;
    int programEnds = 0;
};

/// A temporary environment with a workspace and the main window's state.
struct DialogFixture {
    TestEnvironment te;
    Workspace ws{*te.env};
    RecordingFrontEnd frontEnd;
    MainWindowState state{.frontEnd = &frontEnd};

    /// Opens an empty project "<root>/<relative>" (the folder is created).
    void openProject(const QString& relative = QStringLiteral("proj/p.qdx"));
    /// Writes a file with some text; returns its full path.
    QString write(const QString& relative, const QString& text = QStringLiteral("// x"));
    /// Sets the project's chapter list.
    void setChapters(const std::vector<std::pair<QString, QString>>& chapters);
};

/// Answers the modal dialogs that open while it lives, one action each, in
/// order; it records the title of every dialog it met.
class ModalScript {
public:
    explicit ModalScript(std::deque<std::function<void(QDialog*)>> actions);
    ~ModalScript();
    QStringList titles;

private:
    class Driver;
    Driver* driver_;
};

}  // namespace tessarel::testing
