#include "app/dialogs/settings_choices.h"

#include "project/project_model.h"
#include "support/paths.h"
#include "support/preferences.h"
#include "support/sort.h"
#include "support/string_functions.h"

#include <QDir>

#include <utility>

namespace tessarel {

namespace {

const QString kMinimalStyle = QStringLiteral("minimal");

/// "0", "1" or "2" as an option index; -1 for anything else.
int OptionIndex(ChapterOverview overview) { return static_cast<int>(overview); }

struct BoxSetting {
    SettingsBox box;
    bool Settings::*setting;
};

// Every boolean setting the dialog edits in project mode.
constexpr BoxSetting kProjectBoxes[] = {
    {SettingsBox::Title, &Settings::Title},
    {SettingsBox::Hyperlinks, &Settings::Links},
    {SettingsBox::API, &Settings::Api},
    {SettingsBox::SourceLocation, &Settings::IncludeSourceLocation},
    {SettingsBox::LastGenerated, &Settings::IncludeLastGenerated},
    {SettingsBox::SortSections, &Settings::SortSections},
    {SettingsBox::EmbedStyle, &Settings::EmbedStyle},
    {SettingsBox::IncludeProjectTitle, &Settings::IncludeProjectTitle},
    {SettingsBox::ChapterTitle, &Settings::UseChapterTitleInIndex},
    {SettingsBox::SortFileNames, &Settings::SortFilenames},
    {SettingsBox::Collapsible, &Settings::Collapsible},
    {SettingsBox::OnlyDocumented, &Settings::IncludeOnlyDocumentedFiles},
    {SettingsBox::BoldTitles, &Settings::BoldTitles},
    {SettingsBox::GenerateHtmlHelpFiles, &Settings::GenerateHtmlHelpFiles},
    {SettingsBox::IncludeSearch, &Settings::IncludeSearch},
};

void LoadSingleFileMode(SettingsChoices& c, const Preferences& preferences, const QStringList& styles) {
    const QString one = QStringLiteral("1");
    const QString zero = QStringLiteral("0");
    auto flag = [&](const QString& key, const QString& defaultValue) {
        return preferences.ReadFlag(prefs::kSingleFile, key, defaultValue);
    };
    c.projectMode = false;
    c.indexGroupVisible = false;
    c.style = ChosenStyle(preferences.ReadPreference(prefs::kSingleFile, prefs::kStyle, prefs::kDefaultStyle), styles);
    c.setChecked(SettingsBox::Title, flag(prefs::kTitle, one));
    c.setChecked(SettingsBox::Hyperlinks, flag(prefs::kHyperlinks, one));
    c.setChecked(SettingsBox::API, flag(prefs::kApi, one));
    c.setChecked(SettingsBox::SourceLocation, flag(prefs::kSourceLocation, zero));
    c.setChecked(SettingsBox::LastGenerated, flag(prefs::kLastGenerated, zero));
    c.setChecked(SettingsBox::SortSections, flag(prefs::kSortSections, zero));
    // A single page always carries its style sheet.
    c.setChecked(SettingsBox::EmbedStyle, true);
    c.setEnabled(SettingsBox::EmbedStyle, false);
    c.overview =
        OptionIndex(ChapterOverviewFromStored(preferences.ReadPreference(prefs::kSingleFile, prefs::kSumCon, one)));

    for (SettingsBox box : {SettingsBox::IncludeProjectTitle, SettingsBox::ChapterTitle, SettingsBox::OnlyDocumented,
                            SettingsBox::GenerateHtmlHelpFiles, SettingsBox::Collapsible, SettingsBox::SortFileNames,
                            SettingsBox::IncludeSearch}) {
        c.setEnabled(box, false);
    }
    c.copyrightEnabled = false;
    c.htmlHelpGroupEnabled = false;
    c.sideTitleEnabled = false;
    c.sideTextEnabled = false;
    c.compilerLabelEnabled = false;
}

void LoadProjectMode(SettingsChoices& c, const Settings& s, const QStringList& styles) {
    c.projectMode = true;
    // The chapter boxes start clear so that checking them below runs their rules.
    for (SettingsBox box : {SettingsBox::Title, SettingsBox::Hyperlinks, SettingsBox::API, SettingsBox::SourceLocation,
                            SettingsBox::LastGenerated}) {
        c.setChecked(box, false);
    }
    c.setChecked(SettingsBox::ChapterTitle, s.UseChapterTitleInIndex);
    c.setChecked(SettingsBox::OnlyDocumented, s.IncludeOnlyDocumentedFiles);
    c.setChecked(SettingsBox::GenerateHtmlHelpFiles, s.GenerateHtmlHelpFiles);
    c.setChecked(SettingsBox::Collapsible, s.Collapsible);
    c.setChecked(SettingsBox::EmbedStyle, s.EmbedStyle);
    c.setChecked(SettingsBox::SortSections, s.SortSections);
    c.setChecked(SettingsBox::SortFileNames, s.SortFilenames);
    c.setChecked(SettingsBox::IncludeProjectTitle, s.IncludeProjectTitle);
    c.setChecked(SettingsBox::BoldTitles, s.BoldTitles);
    c.setChecked(SettingsBox::IncludeSearch, s.IncludeSearch);
    const std::pair<SettingsBox, bool> chapterBoxes[] = {
        {SettingsBox::Title, s.Title},
        {SettingsBox::Hyperlinks, s.Links},
        {SettingsBox::API, s.Api},
        {SettingsBox::SourceLocation, s.IncludeSourceLocation},
        {SettingsBox::LastGenerated, s.IncludeLastGenerated},
    };
    for (const auto& [box, on] : chapterBoxes) {
        if (on) {
            c.setChecked(box, true);
        }
    }
    c.overview = OptionIndex(s.Overview);
    c.style = ChosenStyle(s.Style, styles);
    // The boxes show the plain form; the model keeps whatever form it has.
    c.sideTitle = s.IndexTitle;
    c.sideText = PlainFormOf(s.IndexText);
    c.copyright = PlainFormOf(s.Copyright);
}

}  // namespace

void SettingsChoices::setChecked(SettingsBox which, bool on) {
    state(which).checked = on;
    switch (which) {
    case SettingsBox::ChapterTitle:
        if (on) {
            state(SettingsBox::SortFileNames) = {false, false};
        } else {
            state(SettingsBox::SortFileNames).enabled = true;
        }
        break;
    case SettingsBox::Collapsible:
        if (on) {
            state(SettingsBox::OnlyDocumented) = {true, false};
        } else {
            state(SettingsBox::OnlyDocumented).enabled = true;
        }
        break;
    case SettingsBox::Title:
        if (on) {
            state(SettingsBox::IncludeProjectTitle).enabled = true;
        } else {
            state(SettingsBox::IncludeProjectTitle) = {false, false};
        }
        break;
    default:
        break;
    }
}

void SettingsChoices::setEnabled(SettingsBox which, bool enabled) { state(which).enabled = enabled; }

QStringList StyleNames(const AppPaths& paths) {
    const QDir folder(ProgramFolderFile(paths, QStringLiteral("styles")));
    QStringList names;
    for (const QString& file : folder.entryList(QDir::Files)) {
        const QString name = BaseNameInRange(file);
        if (!name.isEmpty()) {
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
    SettingsChoices choices;
    choices.compilerFolder =
        preferences.ReadPreference(prefs::kProject, prefs::kCompilerPath, prefs::DefaultCompilerPath());
    choices.buildWorkers = ReadBuildWorkers(preferences);
    if (project.isOpen()) {
        LoadProjectMode(choices, project.settings, styles);
    } else {
        LoadSingleFileMode(choices, preferences, styles);
    }
    return choices;
}

void StoreSettingsChoices(const SettingsChoices& c, ProjectModel& project, Preferences& preferences) {
    // The user's own, whatever is open.
    if (c.buildWorkers != ReadBuildWorkers(preferences)) {
        WriteBuildWorkers(preferences, c.buildWorkers);
    }
    const bool overviewChosen = c.overview >= 0 && c.overview <= 2;
    if (!c.projectMode) {
        auto flag = [&](const QString& key, SettingsBox box) {
            preferences.WriteFlag(prefs::kSingleFile, key, c.checked(box));
        };
        flag(prefs::kEmbedStyle, SettingsBox::EmbedStyle);
        flag(prefs::kSortSections, SettingsBox::SortSections);
        flag(prefs::kTitle, SettingsBox::Title);
        flag(prefs::kHyperlinks, SettingsBox::Hyperlinks);
        flag(prefs::kApi, SettingsBox::API);
        preferences.WritePreference(prefs::kSingleFile, prefs::kStyle, c.style);
        flag(prefs::kSourceLocation, SettingsBox::SourceLocation);
        flag(prefs::kLastGenerated, SettingsBox::LastGenerated);
        if (overviewChosen) {
            preferences.WritePreference(prefs::kSingleFile, prefs::kSumCon,
                                        StoredChapterOverview(static_cast<ChapterOverview>(c.overview)));
        }
        LoadSingleFileSettings(preferences, project.isOpen(), project.settings);
        return;
    }

    if (!TrimSpaces(c.compilerFolder).isEmpty()) {
        preferences.WritePreference(prefs::kProject, prefs::kCompilerPath, c.compilerFolder);
    }
    Settings& s = project.settings;
    for (const BoxSetting& entry : kProjectBoxes) {
        s.*entry.setting = c.checked(entry.box);
    }
    if (overviewChosen) {
        s.Overview = static_cast<ChapterOverview>(c.overview);
    }
    s.Style = c.style;
    s.IndexTitle = c.sideTitle;
    s.IndexText = c.sideText;
    s.Copyright = c.copyright;
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
