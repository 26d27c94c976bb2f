#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace tessarel {

struct AppPaths;
struct ProjectModel;
class Preferences;

/// The check boxes of the settings dialog.
enum class SettingsBox {
    Title,
    Hyperlinks,
    API,
    SourceLocation,
    LastGenerated,
    SortSections,
    EmbedStyle,
    IncludeProjectTitle,
    ChapterTitle,
    SortFileNames,
    Collapsible,
    OnlyDocumented,
    BoldTitles,
    GenerateHtmlHelpFiles,
    IncludeSearch,
};
inline constexpr int kSettingsBoxCount = 15;

struct BoxState {
    bool checked = false;
    bool enabled = true;
};

/// What the settings dialog shows and the user chooses, without a widget: the
/// boxes with the rules between them, the texts, and which parts are usable.
/// Project mode edits the open project; single-file mode (no project) edits
/// the stored single-file preferences.
class SettingsChoices {
public:
    /// Sets a box as the user or the loading does, then applies the rules
    /// between boxes (Links as Titles excludes Sort File Names, Collapsible
    /// implies Documented Files Only, Project Title needs Chapter Title).
    void setChecked(SettingsBox box, bool checked);
    void setEnabled(SettingsBox box, bool enabled);
    const BoxState& box(SettingsBox which) const { return boxes_[static_cast<size_t>(which)]; }
    bool checked(SettingsBox which) const { return box(which).checked; }

    bool projectMode = true;
    int overview = 1;  ///< the chosen option: 0 Summary, 1 Table of Contents, 2 None; -1 none
    QString style;     ///< the style box's text
    QString sideTitle;
    QString sideText;   ///< plain form, lines end in CR LF
    QString copyright;  ///< plain form, lines end in CR LF
    QString compilerFolder;
    int buildWorkers = 0;  ///< the user's: chapters a project build makes at once; 0 one per core

    // The parts that single-file mode greys out or hides.
    bool indexGroupVisible = true;
    bool htmlHelpGroupEnabled = true;
    bool compilerLabelEnabled = true;
    bool sideTitleEnabled = true;
    bool sideTextEnabled = true;
    bool copyrightEnabled = true;

private:
    BoxState& state(SettingsBox which) { return boxes_[static_cast<size_t>(which)]; }
    std::array<BoxState, kSettingsBoxCount> boxes_{};
};

/// The style names of the program folder's "styles" folder, sorted.
QStringList StyleNames(const AppPaths& paths);
/// `wanted` when it is one of the styles, else "minimal".
QString ChosenStyle(const QString& wanted, const QStringList& styles);

/// The dialog as it opens: project mode when a project is open, else
/// single-file mode from the preferences. The model is not changed.
SettingsChoices LoadSettingsChoices(const ProjectModel& project, const Preferences& preferences,
                                    const QStringList& styles);
/// What OK stores: the user's build workers; the project's settings (and the
/// compiler folder when one is given), or in single-file mode the preferences,
/// then the model's shared settings reloaded from them.
void StoreSettingsChoices(const SettingsChoices& choices, ProjectModel& project, Preferences& preferences);

/// Text as a multi-line box shows it ("\n") and back (CR LF).
QString EditorText(const QString& plain);
QString PlainText(const QString& editor);

}  // namespace tessarel
