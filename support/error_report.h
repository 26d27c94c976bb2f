#pragma once

#include <QString>

namespace tessarel {

struct Environment;
class UserInterface;

/// The program's version as "major.minor.revision".
QString VersionText();
/// The support address shown by the critical message and the about box.
QString SupportAddress();

/// Last resort of an event handler: appends the six-line entry to "error.log" in
/// the data folder and shows "Critical Error Report", even when the log cannot
/// be written. The caller then ends the program in an orderly way: the
/// window's handler guard and the console itself, a chapter's build through its
/// outcome (`ChapterOutcome::critical`).
void ReportError(Environment& env, const QString& procedure, const QString& module, const QString& errorNumber,
                 const QString& description);
/// A modal message box with only an OK button and no icon.
void ShowMessage(UserInterface& ui, const QString& title, const QString& text);

}  // namespace tessarel
