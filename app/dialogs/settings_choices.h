#pragma once

#include "support/setting_table.h"

#include <QString>
#include <QStringList>

#include <array>

namespace tessarel {

struct AppPaths;
struct ProjectModel;
class Preferences;

struct BoxState {
    bool checked = false;
    bool enabled = true;
};

/// What the settings dialog shows and the user chooses, without a widget: a
/// box for each flag and a text for each text the setting table gives the
/// dialog, with the rules between the boxes, and which parts are usable.
/// Project mode edits the open project; single-file mode (no project) edits
/// the stored single-file preferences.
class SettingsChoices {
public:
    /// Sets a box as the user or the loading does, then applies the rules
    /// between boxes (Links as Titles excludes Sort File Names, Collapsible
    /// implies Documented Files Only, Project Title needs Chapter Title).
    void setChecked(bool Settings::*setting, bool checked);
    void setEnabled(bool Settings::*setting, bool enabled);
    const BoxState& box(bool Settings::*setting) const { return boxes_[Index(setting)]; }
    bool checked(bool Settings::*setting) const { return box(setting).checked; }
    /// A text as its box shows it; IndexText and Copyright in their plain form.
    QString& text(QString Settings::*setting) { return texts_[Index(setting)]; }
    const QString& text(QString Settings::*setting) const { return texts_[Index(setting)]; }

    bool projectMode = true;
    ChapterOverview overview = ChapterOverview::Contents;  ///< the chosen option
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
    template <class Field>
    static std::size_t Index(Field setting) {
        const std::size_t index = SettingIndex(setting);
        Q_ASSERT(index < kSettingCount);
        return index;
    }
    BoxState& state(bool Settings::*setting) { return boxes_[Index(setting)]; }

    // By the settings' rows in the table.
    std::array<BoxState, kSettingCount> boxes_{};
    std::array<QString, kSettingCount> texts_;
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
