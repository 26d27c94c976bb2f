#include "app_testing.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace tessarel::testing {

bool RecordingView::showDialog(ProjectDialog dialog) {
    dialogsShown.push_back(dialog);
    if (dialogAnswers.empty()) {
        return true;
    }
    const bool answer = dialogAnswers.front();
    dialogAnswers.pop_front();
    return answer;
}

QString RecordingView::openFileName(const QString& title, const QString&) {
    fileDialogTitles << title;
    if (fileAnswers.empty()) {
        return {};
    }
    const QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

QString RecordingView::saveFileName(const QString& title, const QString& filter) {
    return openFileName(title, filter);
}

QString DocumentedSource(const QString& sectionName) {
    return QStringLiteral("// function: ") + sectionName +
           QStringLiteral("\r\n// What this function does.\r\nint main() { return 0; }\r\n");
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
