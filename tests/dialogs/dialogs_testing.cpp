#include "dialogs_testing.h"

#include "support/paths.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

namespace tessarel::testing {

void DialogFixture::openProject(const QString& relative) {
    ProjectModel& project = ws.project;
    project.ProjectPath = te.path(relative);
    project.ProjectFolder = FolderOf(project.ProjectPath);
    project.ProjectFileName = FileNameOf(project.ProjectPath);
    QDir().mkpath(project.ProjectFolder);
}

QString DialogFixture::write(const QString& relative, const QString& text) {
    WriteBytes(te.path(relative), text.toUtf8());
    return te.path(relative);
}

void DialogFixture::setChapters(const std::vector<std::pair<QString, QString>>& chapters) {
    ws.project.Chapters.clear();
    for (const auto& [name, relPath] : chapters) {
        ws.project.Chapters.push_back({name, relPath});
    }
}

class ModalScript::Driver : public QObject {
public:
    Driver(ModalScript& script, std::deque<std::function<void(QDialog*)>> actions)
        : script_(script), actions_(std::move(actions)) {
        connect(&timer_, &QTimer::timeout, this, &Driver::poll);
        timer_.start(5);
    }

private:
    void poll() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || dialog == handled_) {
            return;
        }
        handled_ = dialog;
        script_.titles << dialog->windowTitle();
        if (actions_.empty()) {
            ADD_FAILURE() << "unexpected dialog " << dialog->windowTitle().toStdString();
            dialog->reject();
            return;
        }
        auto action = std::move(actions_.front());
        actions_.pop_front();
        action(dialog);
    }

    ModalScript& script_;
    std::deque<std::function<void(QDialog*)>> actions_;
    QTimer timer_;
    QPointer<QDialog> handled_;
};

ModalScript::ModalScript(std::deque<std::function<void(QDialog*)>> actions)
    : driver_(new Driver(*this, std::move(actions))) {}

ModalScript::~ModalScript() { delete driver_; }

}  // namespace tessarel::testing

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
