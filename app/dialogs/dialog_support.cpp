#include "app/dialogs/dialog_support.h"
#include "app/front_end.h"
#include "app/handler_guard.h"

#include "book/workspace.h"
#include "support/environment.h"
#include "support/paths.h"
#include "support/text_file.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>

namespace tessarel {

ModalDialog::ModalDialog(QWidget* owner, Workspace& workspace, MainWindowState& state, const QString& helpTopic)
    : QDialog(owner), workspace_(workspace), state_(state), helpTopic_(helpTopic) {
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    if (state.alwaysOnTop) {
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
}

void ModalDialog::cancel() {
    state_.dialogCancelled = true;
    QDialog::reject();
}

void ModalDialog::closeWithOk() {
    state_.dialogCancelled = false;
    accept();
}

void ModalDialog::showHelp() {
    if (state_.frontEnd != nullptr) {
        state_.frontEnd->showHelpTopic(HelpTopicPath(workspace_.env, helpTopic_));
    }
}

bool ModalDialog::run() {
    const bool ok = exec() == QDialog::Accepted;
    state_.dialogCancelled = !ok;
    return ok;
}

void ModalDialog::runReported(const ErrorSite& site, const std::function<void()>& body) {
    try {
        RunReported(workspace_.env, *state_.frontEnd, site, body);
    } catch (const ProgramEnding&) {
        state_.dialogCancelled = true;
        QDialog::reject();
    }
}

QString HelpTopicPath(const Environment& env, const QString& topic) {
    return ProgramFolderFile(env.paths, QStringLiteral("help.chm::/") + topic);
}

DefaultButtonRule::DefaultButtonRule(QPushButton* ok, QObject* parent) : QObject(parent), ok_(ok) {
    ok_->setDefault(true);
}

void DefaultButtonRule::whileFocused(QWidget* widget, QPushButton* instead) {
    watched_.insert(widget, instead);
    widget->installEventFilter(this);
}

bool DefaultButtonRule::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        const auto found = watched_.constFind(watched);
        if (found != watched_.constEnd()) {
            const bool focused = event->type() == QEvent::FocusIn;
            if (ok_ != nullptr) {
                ok_->setDefault(!focused);
            }
            if (*found != nullptr) {
                (*found)->setDefault(focused);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

QIcon StyleIcon() {
    // A page with a coloured heading band and two text lines: a style sheet.
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QColor(0x60, 0x60, 0x60));
    p.setBrush(Qt::white);
    p.drawRect(1, 1, 13, 13);
    p.fillRect(2, 2, 12, 4, QColor(0x4a, 0x86, 0xc8));
    p.fillRect(4, 8, 8, 1, QColor(0x90, 0x90, 0x90));
    p.fillRect(4, 11, 6, 1, QColor(0x90, 0x90, 0x90));
    return QIcon(pixmap);
}

QIcon ChapterIcon() { return QApplication::style()->standardIcon(QStyle::SP_FileIcon); }

}  // namespace tessarel
