#include "app/dialogs/project_dialogs.h"

#include "app/dialogs/comments_dialog.h"
#include "app/dialogs/default_page_dialog.h"
#include "app/dialogs/dest_path_dialog.h"
#include "app/dialogs/files_dialog.h"
#include "app/dialogs/settings_dialog.h"

namespace tessarel {

bool ShowSettingsDialog(QWidget* owner, Workspace& workspace, MainWindowState& state) {
    frmProperties dialog(owner, workspace, state);
    return dialog.run();
}

bool ShowAddFilesDialog(QWidget* owner, Workspace& workspace, MainWindowState& state) {
    frmAddFiles dialog(owner, workspace, state);
    return dialog.run();
}

bool ShowDestPathDialog(QWidget* owner, Workspace& workspace, MainWindowState& state) {
    frmDestPath dialog(owner, workspace, state);
    return dialog.run();
}

bool ShowDefaultPageDialog(QWidget* owner, Workspace& workspace, MainWindowState& state) {
    frmDefaultPage dialog(owner, workspace, state);
    return dialog.run();
}

bool ShowCommentsDialog(QWidget* owner, Workspace& workspace, MainWindowState& state) {
    frmComments dialog(owner, workspace, state);
    return dialog.run();
}

}  // namespace tessarel
