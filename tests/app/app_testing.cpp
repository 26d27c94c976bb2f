#include "app_testing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <algorithm>
#include <iostream>

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

QString AttachScreenshot(const QString& name) {
    QApplication::processEvents();
    const QScreen* screen = QGuiApplication::primaryScreen();
    QImage shot(screen != nullptr ? screen->geometry().size() : QSize(1280, 1024), QImage::Format_RGB32);
    shot.fill(QColor(0x30, 0x50, 0x70));
    QPainter painter(&shot);
    // Owners first, so a window opened over another is painted over it.
    QWidgetList windows = QApplication::topLevelWidgets();
    std::stable_sort(windows.begin(), windows.end(), [](const QWidget* a, const QWidget* b) {
        return a->parentWidget() == nullptr && b->parentWidget() != nullptr;
    });
    for (QWidget* window : windows) {
        if (window->isVisible()) {
            painter.drawPixmap(window->geometry().topLeft(), window->grab());
            painter.setPen(Qt::yellow);
            painter.drawRect(window->geometry().adjusted(0, 0, -1, -1));
        }
    }
    painter.end();
    QString folder = qEnvironmentVariable("TESSAREL_SCREENSHOTS");
    if (folder.isEmpty()) {
        folder = QDir::currentPath() + u"/screenshots"_s;
    }
    QDir().mkpath(folder);
    const QString path = folder + u"/"_s + name + u".png"_s;
    EXPECT_TRUE(shot.save(path)) << path.toStdString();
    ::testing::Test::RecordProperty("screenshot", path.toStdString());
    std::cout << "screenshot: " << path.toStdString() << std::endl;
    return path;
}

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
        model.Chapters.push_back({name, u"src/"_s});
    }
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
