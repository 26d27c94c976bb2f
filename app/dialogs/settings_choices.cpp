#include "app/dialogs/settings_choices.h"

#include "project/project_model.h"
#include "support/paths.h"
#include "support/preferences.h"
#include "support/sort.h"
#include "support/string_functions.h"

#include <QDir>

#include <variant>

namespace tessarel {

namespace {

const QString kMinimalStyle = QStringLiteral("minimal");

/// Whether the settings dialog shows the setting, in the mode it opens in.
bool Shown(const SettingRow& row, bool projectMode) {
    return row.editor == EditedBy::SettingsDialog && (projectMode || KeptForSingleFiles(row));
}

/// Shows one setting of `values`.
void Show(SettingsChoices& c, const SettingRow& row, const Settings& values) {
    std::visit(
        Overloaded{
            [&](bool Settings::*flag) { c.setChecked(flag, values.*flag); },
            // The boxes show the plain form; the model keeps whatever form it has.
            [&](QString Settings::*text) { c.text(text) = row.plainForm ? PlainFormOf(values.*text) : values.*text; },
            [&](ChapterOverview Settings::*overview) { c.overview = values.*overview; },
            [&](CommentLines) {},
        },
        row.field);
}

/// Takes one setting from the choices into `values`.
void Take(const SettingsChoices& c, const SettingRow& row, Settings& values) {
    std::visit(Overloaded{
                   [&](bool Settings::*flag) { values.*flag = c.checked(flag); },
                   [&](QString Settings::*text) { values.*text = c.text(text); },
                   [&](ChapterOverview Settings::*overview) { values.*overview = c.overview; },
                   [&](CommentLines) {},
               },
               row.field);
}

/// Single-file mode greys out what single files do not keep and hides the index.
void ShortenForSingleFiles(SettingsChoices& c) {
    c.indexGroupVisible = false;
    for (const SettingRow& row : kSettingTable) {
        const auto* flag = std::get_if<bool Settings::*>(&row.field);
        if (flag && row.editor == EditedBy::SettingsDialog && !KeptForSingleFiles(row)) {
            c.setEnabled(*flag, false);
        }
    }
    // A single page always carries its style sheet.
    c.setChecked(&Settings::EmbedStyle, true);
    c.setEnabled(&Settings::EmbedStyle, false);
    c.copyrightEnabled = false;
    c.htmlHelpGroupEnabled = false;
    c.sideTitleEnabled = false;
    c.sideTextEnabled = false;
    c.compilerLabelEnabled = false;
}

}  // namespace

void SettingsChoices::setChecked(bool Settings::*which, bool on) {
    state(which).checked = on;
    if (which == &Settings::UseChapterTitleInIndex) {
        if (on) {
            state(&Settings::SortFilenames) = {false, false};
        } else {
            state(&Settings::SortFilenames).enabled = true;
        }
    } else if (which == &Settings::Collapsible) {
        if (on) {
            state(&Settings::IncludeOnlyDocumentedFiles) = {true, false};
        } else {
            state(&Settings::IncludeOnlyDocumentedFiles).enabled = true;
        }
    } else if (which == &Settings::ModernLayout) {
        // A modern book always links its one sheet and has no frames to fold;
        // a single page always embeds its sheet and has no contents.
        state(&Settings::EmbedStyle).enabled = !on && projectMode;
        state(&Settings::Collapsible).enabled = !on && projectMode;
    } else if (which == &Settings::Title) {
        if (on) {
            state(&Settings::IncludeProjectTitle).enabled = true;
        } else {
            state(&Settings::IncludeProjectTitle) = {false, false};
        }
    }
}

void SettingsChoices::setEnabled(bool Settings::*which, bool enabled) { state(which).enabled = enabled; }

QStringList StyleNames(const AppPaths& paths) {
    const QDir folder(ProgramFolderFile(paths, QStringLiteral("styles")));
    QStringList names;
    for (const QString& file : folder.entryList(QDir::Files)) {
        const QString name = BaseNameInRange(file);
        // A style's modern sheet is part of that style, not one of its own.
        if (!name.isEmpty() && !name.endsWith(QStringLiteral(".modern"))) {
            names << name;
        }
    }
    SortStrings(names, 0, names.size() - 1);
    return names;
}

QString ChosenStyle(const QString& wanted, const QStringList& styles) {
    return styles.contains(wanted) ? wanted : kMinimalStyle;
}

SettingsChoices LoadSettingsChoices(const ProjectModel& project, const Preferences& preferences,
                                    const QStringList& styles) {
    SettingsChoices c;
    c.compilerFolder = preferences.ReadPreference(prefs::kProject, prefs::kCompilerPath, prefs::DefaultCompilerPath());
    c.buildWorkers = ReadBuildWorkers(preferences);
    c.projectMode = project.isOpen();
    const Settings values = c.projectMode ? project.settings : ReadSingleFileSettings(preferences);
    // In the table's order, which the rules between the boxes rely on: Links
    // as Titles before Sort File Names, Documented Files Only before Collapsible.
    for (const SettingRow& row : kSettingTable) {
        if (Shown(row, c.projectMode)) {
            Show(c, row, values);
        }
    }
    c.text(&Settings::Style) = ChosenStyle(values.Style, styles);
    if (!c.projectMode) {
        ShortenForSingleFiles(c);
    }
    return c;
}

void StoreSettingsChoices(const SettingsChoices& c, ProjectModel& project, Preferences& preferences) {
    // The user's own, whatever is open.
    if (c.buildWorkers != ReadBuildWorkers(preferences)) {
        WriteBuildWorkers(preferences, c.buildWorkers);
    }
    if (!c.projectMode) {
        Settings values;
        for (const SettingRow& row : kSettingTable) {
            if (Shown(row, false)) {
                Take(c, row, values);
                WriteSingleFileSetting(preferences, row, values);
            }
        }
        LoadSingleFileSettings(preferences, project.isOpen(), project.settings);
        return;
    }

    if (!TrimSpaces(c.compilerFolder).isEmpty()) {
        preferences.WritePreference(prefs::kProject, prefs::kCompilerPath, c.compilerFolder);
    }
    for (const SettingRow& row : kSettingTable) {
        if (Shown(row, true)) {
            Take(c, row, project.settings);
        }
    }
}

QString EditorText(const QString& plain) {
    QString text = plain;
    return text.replace(kCrLf, QStringLiteral("\n"));
}

QString PlainText(const QString& editor) {
    QString text = editor;
    text.replace(kCrLf, QStringLiteral("\n"));
    return text.replace(QLatin1Char('\n'), kCrLf);
}

}  // namespace tessarel
