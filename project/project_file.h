#pragma once

#include <QString>

namespace tessarel {

class FileProgress;
struct ProjectModel;
class UserInterface;

/// The full text of the project file for the model. Turns IndexText and
/// Copyright of the model back into their plain form. `progress`, when given,
/// watches the chapters being written.
QString ProjectXml(ProjectModel& project, FileProgress* progress = nullptr);
/// Writes ProjectXml to `path`; false when it could not be written (already told).
/// Chapters listed beyond the count are left out of the file.
bool SaveProject(UserInterface& ui, ProjectModel& project, const QString& path, FileProgress* progress = nullptr);

enum class LoadOutcome { Loaded, NotFound, Refused };
/// Reads a project file into the model. A file that is missing, unreadable or
/// malformed beyond repair is refused with a clear message and leaves the model
/// as it was.
LoadOutcome LoadProject(UserInterface& ui, ProjectModel& project, const QString& path,
                        FileProgress* progress = nullptr);

/// True when the file on disk differs from what a save would write; false when
/// there is no file.
bool IsProjectModified(ProjectModel& project, FileProgress* progress = nullptr);

}  // namespace tessarel
