#include "project/project_model.h"

#include "support/paths.h"
#include "support/setting_table.h"
#include "support/string_functions.h"

namespace tessarel {

bool ProjectModel::isOpen() const { return !TrimSpaces(ProjectFileName).isEmpty(); }

QString ProjectModel::resolve(const QString& path) const {
    // Project files carry "\" in their folders; the stored text stays as it is so
    // that saving reproduces the file, and only the resolved path is converted.
    return ResolveProjectPath(ProjectFolder, NativeSeparators(path));
}

QString ProjectModel::destinationFolder() const { return resolve(settings.RelDestPath); }

void ClearProject(ProjectModel& project) {
    project.ProjectFileName.clear();
    project.ProjectFolder.clear();
    project.ProjectPath.clear();
    project.UncountedChapters = 0;
    project.Chapters.clear();

    // Only the settings reset to their defaults; those that hold their
    // single-file preference and those the caller clears stay.
    const Settings defaults;
    for (const SettingRow& row : kSettingTable) {
        if (row.reset == ResetTo::Default) {
            CopySetting(row, defaults, project.settings);
        }
    }
}

}  // namespace tessarel
