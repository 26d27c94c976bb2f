#pragma once

#include "app/legacy_names.h"
#include "app/main_window_state.h"

#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QPointer>
#include <QString>

#include <functional>

class QPushButton;

namespace tessarel {

struct Environment;
struct Workspace;

/// What every project dialog shares: modal over its owner, topmost when the
/// main window is, a Help button for its topic, and Cancel (also by Escape or
/// the close box) recorded as cancelled so that no sequence goes on after it.
class ModalDialog : public QDialog {
    Q_OBJECT
public:
    ModalDialog(QWidget* owner, Workspace& workspace, MainWindowState& state, const QString& helpTopic);

    /// Records the cancel and closes; nothing is stored.
    virtual void cancel();
    void showHelp();
    void reject() override { cancel(); }

    /// Runs the dialog; true for OK. Sets dialogCancelled either way.
    bool run();

protected:
    /// Records OK and closes.
    void closeWithOk();
    /// A handler whose failures go to the error reporter under `site`; after a
    /// report the program is ending, so the dialog closes as cancelled.
    void runReported(const ErrorSite& site, const std::function<void()>& body);

    Workspace& workspace_;
    MainWindowState& state_;

private:
    QString helpTopic_;
};

/// "<program folder>/help.chm::/<topic>".
QString HelpTopicPath(const Environment& env, const QString& topic);

/// Makes OK the default button except while one of the watched widgets has
/// the focus; then another button (or none) is.
class DefaultButtonRule : public QObject {
public:
    DefaultButtonRule(QPushButton* ok, QObject* parent);
    /// While `widget` has the focus OK is not the default button; `instead`, when given, is.
    void whileFocused(QWidget* widget, QPushButton* instead = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Guarded: a focused box loses the focus while the dialog is being
    // destroyed, possibly after the buttons have gone.
    QPointer<QPushButton> ok_;
    QHash<QObject*, QPointer<QPushButton>> watched_;
};

/// The icon of a style in the style list and of a chapter in the chapter list.
QIcon StyleIcon();
QIcon ChapterIcon();

}  // namespace tessarel
