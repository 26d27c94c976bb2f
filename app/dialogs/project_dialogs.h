#pragma once

class QWidget;

namespace tessarel {

struct Workspace;
struct MainWindowState;

/// The project dialogs, each opened modally from one place. Each returns true
/// for OK and false for Cancel, and sets state.dialogCancelled accordingly.
/// `onTop` makes the dialog topmost. The settings dialog also tells the caller
/// the style to show in the status bar through workspace.project.settings.Style.
bool ShowSettingsDialog(QWidget* owner, Workspace& workspace, MainWindowState& state);
bool ShowFilesDialog(QWidget* owner, Workspace& workspace, MainWindowState& state);
bool ShowDestinationDialog(QWidget* owner, Workspace& workspace, MainWindowState& state);
bool ShowDefaultChapterDialog(QWidget* owner, Workspace& workspace, MainWindowState& state);
bool ShowCommentStylesDialog(QWidget* owner, Workspace& workspace, MainWindowState& state);

}  // namespace tessarel
