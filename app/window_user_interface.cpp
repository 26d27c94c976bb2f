#include "app/window_user_interface.h"

#include "app/busy_window.h"
#include "app/help_topics.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "app/main_window_state.h"
#include "app/progress/progress_window.h"
#include "app/window_utilities.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <utility>

namespace tessarel {

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons BoxButtons(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

MessageAnswer AnswerOf(int button) {
    switch (button) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    default:
        return MessageAnswer::Ok;
    }
}

}  // namespace

MessageAnswer WindowUserInterface::message(const QString& title, const QString& text, MessageIcon icon,
                                           MessageButtons buttons) {
    // A critical error ends the program: that is never said quietly.
    if (quiet_ && icon != MessageIcon::Critical) {
        // Its first line goes to the status bar; a question takes the answer
        // that changes nothing.
        quietProblems_ << title + QStringLiteral(": ") +
                              QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).section(u'\n', 0, 0);
        return buttons == MessageButtons::Ok      ? MessageAnswer::Ok
               : buttons == MessageButtons::YesNo ? MessageAnswer::No
                                                  : MessageAnswer::Cancel;
    }
    if (messageHandler) {
        return messageHandler(title, text, icon, buttons);
    }
    QWidget* owner = window_ != nullptr && window_->isVisible() ? window_ : nullptr;
    QMessageBox box(BoxIcon(icon), title, QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                    BoxButtons(buttons), owner);
    fitTitle(box);
    if (window_ != nullptr && window_->state().alwaysOnTop) {
        MakeTopmost(&box);
    }
    return AnswerOf(box.exec());
}

void WindowUserInterface::fitTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) {
        return;
    }
    // Room for the title and the title bar's icon and buttons, which the box
    // cannot measure; the title bar's font is usually a little bolder.
    QFont titleFont = box.font();
    titleFont.setBold(true);
    constexpr int kTitleBarControls = 160;
    const int wanted = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarControls;
    grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

void WindowUserInterface::showLogRow(const QString& reason, const QString& item, RowStatus status, const QString& title,
                                     const QString& output) {
    if (quiet_) {
        if (status == RowStatus::Failed) {
            quietProblems_ << reason + QStringLiteral(": ") + item;
        }
        return;
    }
    if (window_ != nullptr) {
        window_->progressWindow()->addLogRow(reason, item, status, title, output);
    }
}

void WindowUserInterface::addLogText(const QString& text) {
    if (window_ != nullptr && !quiet_) {
        window_->progressWindow()->addLogText(text);
    }
}

void WindowUserInterface::setPartsDone(int done, int total) {
    if (window_ != nullptr && !quiet_) {
        window_->progressWindow()->setPartsDone(done, total);
    }
}

void WindowUserInterface::setProgressMaximum(int max) {
    if (window_ != nullptr && !quiet_) {
        window_->progressWindow()->setProgressMaximum(max);
    }
}

void WindowUserInterface::resetProgress() {
    if (window_ == nullptr || quiet_) {
        return;
    }
    ProgressWindow* progress = window_->progressWindow();
    if (inBuild_) {
        // Within a running build only the bar starts again; the log keeps its lines.
        progress->restartBar();
    } else {
        progress->resetProgress();
    }
}

void WindowUserInterface::advanceProgress() {
    if (window_ != nullptr && !quiet_) {
        window_->progressWindow()->advanceProgress();
    }
}

void WindowUserInterface::setProgressCaption(const QString& caption) {
    if (onProgressCaption) {
        onProgressCaption(caption);
    }
    if (window_ != nullptr && !quiet_) {
        window_->progressWindow()->setCurrent(caption);
    }
}

void WindowUserInterface::show(const QString& title, const QString& current, int maximum) {
    if (window_ != nullptr) {
        window_->showBusy(title, current, maximum);
    }
}

void WindowUserInterface::setValue(int value) {
    if (window_ != nullptr) {
        window_->setBusyValue(value);
    }
}

void WindowUserInterface::hide() {
    if (window_ != nullptr) {
        window_->hideBusy();
    }
}

void WindowUserInterface::navigate(const QString& path) {
    if (window_ == nullptr) {
        return;
    }
    if (quiet_) {
        window_->browser()->refresh(path);
    } else {
        window_->browser()->navigate(path);
    }
}

void WindowUserInterface::shellOpen(const QString& target) {
    if (shellHandler) {
        shellHandler(target);
    } else {
        ShellOpen(target);
    }
}

void WindowUserInterface::showHelpTopic(const QString& helpPath) {
    if (quiet_) {
        return;
    }
    const HelpTarget target = ResolveHelpPath(helpPath);
    if (target.kind == HelpTarget::Kind::Document) {
        shellOpen(target.file);
    } else if (window_ != nullptr) {
        window_->showHelpFile(target.file);
    }
}

void WindowUserInterface::endProgram() {
    cancelRequested_ = true;
    if (window_ != nullptr) {
        window_->endProgram();
    }
}

// The commands are locked and unlocked by whoever starts the build
// (MainCommands), before it starts and once it is over.
void WindowUserInterface::buildStarted(bool projectBuild) {
    inBuild_ = true;
    if (window_ != nullptr && !quiet_) {
        window_->buildStarted(projectBuild);
    }
}

void WindowUserInterface::buildFinished(bool projectBuild) {
    inBuild_ = false;
    if (window_ != nullptr && !quiet_) {
        window_->buildFinished(projectBuild);
    }
}

void WindowUserInterface::beginQuiet() {
    quiet_ = true;
    quietProblems_.clear();
}

QStringList WindowUserInterface::endQuiet() {
    quiet_ = false;
    return std::exchange(quietProblems_, {});
}

}  // namespace tessarel
