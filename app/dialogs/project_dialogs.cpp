#include "app/dialogs/project_dialogs.h"

#include "app/dialogs/comment_styles_dialog.h"
#include "app/dialogs/default_chapter_dialog.h"
#include "app/dialogs/destination_dialog.h"
#include "app/dialogs/files_dialog.h"
#include "app/dialogs/settings_dialog.h"

namespace tessarel {

bool ShowSettingsDialog(QWidget* owner, Workspace& workspace, MainWindowState& state) {
    SettingsDialog dialog(owner, workspace, state);
    return dialog.run();
}

bool ShowFilesDialog(QWidget* owner, Workspace& workspace, MainWindowState& state) {
    FilesDialog dialog(owner, workspace, state);
    return dialog.run();
}

bool ShowDestinationDialog(QWidget* owner, Workspace& workspace, MainWindowState& state) {
    DestinationDialog dialog(owner, workspace, state);
    return dialog.run();
}

bool ShowDefaultChapterDialog(QWidget* owner, Workspace& workspace, MainWindowState& state) {
    DefaultChapterDialog dialog(owner, workspace, state);
    return dialog.run();
}

bool ShowCommentStylesDialog(QWidget* owner, Workspace& workspace, MainWindowState& state) {
    CommentStylesDialog dialog(owner, workspace, state);
    return dialog.run();
}

}  // namespace tessarel
