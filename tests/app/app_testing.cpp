#include "app_testing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>

#include "project/project_file.h"
#include "project/project_model.h"
#include "support/paths.h"

using namespace Qt::Literals::StringLiterals;

namespace tessarel::testing {

QString RecordingView::openFileName(const QString& title, const QString&) {
    fileDialogTitles << title;
    if (fileAnswers.empty()) {
        return {};
    }
    const QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

QString RecordingView::saveFileName(const QString& title, const QString& filter) { return openFileName(title, filter); }

QString DocumentedSource(const QString& sectionName) {
    return u"// function: "_s + sectionName + u"\r\n// What this function does.\r\nint main() { return 0; }\r\n"_s;
}

QString SaveTestProject(TestEnvironment& te, const QString& relative, int files) {
    ProjectModel model;
    model.ProjectPath = te.path(relative);
    model.ProjectFolder = FolderOf(model.ProjectPath);
    model.ProjectFileName = FileNameOf(model.ProjectPath);
    model.settings.RelDestPath = u"out/"_s;
    QDir().mkpath(model.ProjectFolder);
    for (int i = 0; i < files; ++i) {
        const QString name = u"f%1.c"_s.arg(i);
        WriteBytes(model.ProjectFolder + u"src/"_s + name, DocumentedSource(name).toUtf8());
        model.Chapters[static_cast<size_t>(i)] = Chapter{name, u"src/"_s, {}, false};
    }
    model.NumberOfChapters = files;
    RecordingUserInterface quiet;
    SaveProject(quiet, model, model.ProjectPath);
    return model.ProjectPath;
}

}  // namespace tessarel::testing

// Widget tests need an application object; the platform is set by the test runner.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
