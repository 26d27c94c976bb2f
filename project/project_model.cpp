#include "project/project_model.h"

#include "support/paths.h"
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
    project.NumberOfChapters = 0;
    project.UncountedChapters = 0;
    project.Chapters.assign(kChapterSlots, Chapter{});
    project.CurrentChapterIndex = 0;
    project.HomePage.clear();

    // Only the settings with a fixed reset value; the preference-seeded ones,
    // IndexTitle and IndexText are the caller's business.
    Settings& s = project.settings;
    const Settings reset;
    s.UseChapterTitleInIndex = reset.UseChapterTitleInIndex;
    s.IncludeOnlyDocumentedFiles = reset.IncludeOnlyDocumentedFiles;
    s.GenerateHtmlHelpFiles = reset.GenerateHtmlHelpFiles;
    s.Collapsible = reset.Collapsible;
    s.EmbedStyle = reset.EmbedStyle;
    s.SortSections = reset.SortSections;
    s.SortFilenames = reset.SortFilenames;
    s.IncludeProjectTitle = reset.IncludeProjectTitle;
    s.BoldTitles = reset.BoldTitles;
    s.IncludeSearch = reset.IncludeSearch;
    s.Copyright = reset.Copyright;
    s.HomeChapter = reset.HomeChapter;
    s.RelDestPath = reset.RelDestPath;
    s.TextFilter = reset.TextFilter;
    s.ComboFilter = reset.ComboFilter;
    s.comments = reset.comments;
}

}  // namespace tessarel
