// Stand-ins for the project dialogs until they are written: each tells the user
// plainly that it is not there yet and counts as cancelled, so that no flow
// goes on as if the user had made a choice.
#include "app/dialogs/project_dialogs.h"

#include "app/main_window_state.h"

#include <QMessageBox>

namespace tessarel {

namespace {

bool NotAvailable(QWidget* owner, MainWindowState& state, const QString& name) {
    QMessageBox::information(owner, QStringLiteral("Tessarel"),
                             QStringLiteral("The %1 dialog is not available in this version of Tessarel yet.")
                                 .arg(name));
    state.mbDialogCancel = true;
    return false;
}

}  // namespace

bool ShowSettingsDialog(QWidget* owner, Workspace&, MainWindowState& state) {
    return NotAvailable(owner, state, QStringLiteral("Settings"));
}

bool ShowAddFilesDialog(QWidget* owner, Workspace&, MainWindowState& state) {
    return NotAvailable(owner, state, QStringLiteral("Add Files"));
}

bool ShowDestPathDialog(QWidget* owner, Workspace&, MainWindowState& state) {
    return NotAvailable(owner, state, QStringLiteral("Destination Path"));
}

bool ShowDefaultPageDialog(QWidget* owner, Workspace&, MainWindowState& state) {
    return NotAvailable(owner, state, QStringLiteral("Default Chapter"));
}

bool ShowCommentsDialog(QWidget* owner, Workspace&, MainWindowState& state) {
    return NotAvailable(owner, state, QStringLiteral("Comments"));
}

}  // namespace tessarel
