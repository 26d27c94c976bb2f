#pragma once

#include "support/settings.h"

#include <QString>

#include <cstddef>
#include <span>
#include <variant>

namespace tessarel {

/// The groups of the project file, in the file's order. `Loose` stands outside
/// every group, unindented.
enum class FileGroup { Interface, Settings, Comments, Loose, Book };
inline constexpr std::size_t kFileGroupCount = 5;

/// A group's element name; "" for `Loose`.
QString FileGroupName(FileGroup group);

/// The two groups of comment styles, each stored as one sum of weights.
enum class CommentLines { Single, Multiple };

/// One comment style: its weight in its group's sum and its key among the
/// single-file preferences.
struct CommentStyleKey {
    int weight;
    bool CommentStyles::*flag;
    const char16_t* preferenceKey;
};

inline constexpr CommentStyleKey kSingleLineStyleKeys[] = {
    {1, &CommentStyles::doubleSlash, u"chkS1"},   {2, &CommentStyles::apostrophe, u"chkS2"},
    {4, &CommentStyles::hash, u"chkS4"},          {8, &CommentStyles::semicolon, u"chkS8"},
    {16, &CommentStyles::dash, u"chkS16"},        {32, &CommentStyles::letterC, u"chkS32"},
    {64, &CommentStyles::exclamation, u"chkS64"},
};
inline constexpr CommentStyleKey kMultipleLineStyleKeys[] = {
    {1, &CommentStyles::slashStar, u"chkM1"},
    {2, &CommentStyles::parenStar, u"chkM2"},
    {4, &CommentStyles::braces, u"chkM4"},
};

constexpr std::span<const CommentStyleKey> CommentStyleKeys(CommentLines lines) {
    if (lines == CommentLines::Single) {
        return kSingleLineStyleKeys;
    }
    return kMultipleLineStyleKeys;
}

/// The sum of the weights of a group's styles that are on.
int CommentBits(const CommentStyles& styles, CommentLines lines);
/// Sets every style of the group from its bit; other bits are ignored.
void SetCommentBits(CommentStyles& styles, CommentLines lines, int bits);

/// Where a setting lives in `Settings`: a flag, a text, what heads a chapter
/// page, or a group of comment styles.
using SettingField = std::variant<bool Settings::*, QString Settings::*, ChapterOverview Settings::*, CommentLines>;

/// What closing a project (`ClearProject`) does to a setting.
enum class ResetTo {
    Default,     ///< back to its default
    Preference,  ///< nothing: it holds its single-file preference, loaded again once no project is open
    Nothing,     ///< nothing: the caller clears it
};

/// How the project file keeps a setting beyond writing its element.
enum class InFile {
    Always,          ///< always written; a file without it leaves the setting as it was
    WhenOn,          ///< a flag written only when on, so older files load and save unchanged; absent is off
    GroupOrDefault,  ///< always written; a file without the setting's group gives the default
};

/// The window that edits a setting.
enum class EditedBy { SettingsDialog, FilesDialog, DestinationDialog, HomeChapterDialog, CommentStylesDialog };

/// One setting, declared once. Its default is its initial value in `Settings`:
/// the value a reset gives and the default of its single-file preference.
struct SettingRow {
    const char16_t* element;  ///< its element in the project file
    FileGroup group;
    SettingField field;
    ResetTo reset;
    /// False only where no built file can depend on it: the page-input digest
    /// leaves it out, so changing it keeps the last build's pages.
    bool shapesPages;
    EditedBy editor;
    /// Its key in "single_file_settings" when single files keep it (the comment
    /// styles have a key each).
    const char16_t* preferenceKey = nullptr;
    InFile inFile = InFile::Always;
    /// Holds line breaks and a copyright sign, in an HTML form after a build:
    /// the file keeps, and the dialog shows, the plain form.
    bool plainForm = false;
    /// A flag stored as this word when on (and written only then) rather than as "True".
    const char16_t* onWord = nullptr;
};

// The rows in the project file's order, which is the order every reader and
// writer takes them in. Columns: element, group, field, reset, whether it
// shapes pages, editor, then where needed the preference key, how the file
// keeps it and whether it has a plain form.
inline constexpr bool kShapesPages = true;
inline constexpr bool kPlainForm = true;
inline constexpr SettingRow kSettingTable[] = {
    {u"TextFilter", FileGroup::Interface, &Settings::TextFilter, ResetTo::Default, !kShapesPages,
     EditedBy::FilesDialog},
    {u"ComboFilter", FileGroup::Interface, &Settings::ComboFilter, ResetTo::Default, !kShapesPages,
     EditedBy::FilesDialog},
    {u"Title", FileGroup::Settings, &Settings::Title, ResetTo::Preference, kShapesPages, EditedBy::SettingsDialog,
     u"propTitle"},
    {u"Links", FileGroup::Settings, &Settings::Links, ResetTo::Preference, kShapesPages, EditedBy::SettingsDialog,
     u"propHyperlinks"},
    {u"Api", FileGroup::Settings, &Settings::Api, ResetTo::Preference, kShapesPages, EditedBy::SettingsDialog,
     u"propAPI"},
    {u"Style", FileGroup::Settings, &Settings::Style, ResetTo::Preference, kShapesPages, EditedBy::SettingsDialog,
     u"propStyle"},
    {u"SumCon", FileGroup::Settings, &Settings::Overview, ResetTo::Preference, kShapesPages, EditedBy::SettingsDialog,
     u"propSumCon"},
    {u"IncludeSourceLocation", FileGroup::Settings, &Settings::IncludeSourceLocation, ResetTo::Preference, kShapesPages,
     EditedBy::SettingsDialog, u"propSourceLocation"},
    {u"IncludeLastGenerated", FileGroup::Settings, &Settings::IncludeLastGenerated, ResetTo::Preference, kShapesPages,
     EditedBy::SettingsDialog, u"propLastGenerated"},
    {u"UseChapterTitleInIndex", FileGroup::Settings, &Settings::UseChapterTitleInIndex, ResetTo::Default, kShapesPages,
     EditedBy::SettingsDialog},
    {u"IncludeOnlyDocumentedFiles", FileGroup::Settings, &Settings::IncludeOnlyDocumentedFiles, ResetTo::Default,
     kShapesPages, EditedBy::SettingsDialog},
    {u"GenerateHtmlHelpFiles", FileGroup::Settings, &Settings::GenerateHtmlHelpFiles, ResetTo::Default, kShapesPages,
     EditedBy::SettingsDialog},
    {u"Collapsible", FileGroup::Settings, &Settings::Collapsible, ResetTo::Default, kShapesPages,
     EditedBy::SettingsDialog},
    // Single pages always embed their sheet; the dialog still stores its box.
    {u"EmbedStyle", FileGroup::Settings, &Settings::EmbedStyle, ResetTo::Default, kShapesPages,
     EditedBy::SettingsDialog, u"propEmbedStyle"},
    {u"SortSections", FileGroup::Settings, &Settings::SortSections, ResetTo::Default, kShapesPages,
     EditedBy::SettingsDialog, u"propSortSections"},
    {u"SortFilenames", FileGroup::Settings, &Settings::SortFilenames, ResetTo::Default, kShapesPages,
     EditedBy::SettingsDialog},
    {u"IncludeProjectTitle", FileGroup::Settings, &Settings::IncludeProjectTitle, ResetTo::Default, kShapesPages,
     EditedBy::SettingsDialog},
    {u"BoldTitles", FileGroup::Settings, &Settings::BoldTitles, ResetTo::Default, kShapesPages,
     EditedBy::SettingsDialog},
    {u"IncludeSearch", FileGroup::Settings, &Settings::IncludeSearch, ResetTo::Default, kShapesPages,
     EditedBy::SettingsDialog, nullptr, InFile::WhenOn},
    {u"BookLayout", FileGroup::Settings, &Settings::ModernLayout, ResetTo::Preference, kShapesPages,
     EditedBy::SettingsDialog, u"propBookLayout", InFile::WhenOn, !kPlainForm, u"Modern"},
    {u"SingleLineComments", FileGroup::Comments, CommentLines::Single, ResetTo::Default, kShapesPages,
     EditedBy::CommentStylesDialog, nullptr, InFile::GroupOrDefault},
    {u"MultipleLineComments", FileGroup::Comments, CommentLines::Multiple, ResetTo::Default, kShapesPages,
     EditedBy::CommentStylesDialog, nullptr, InFile::GroupOrDefault},
    {u"RelDestPath", FileGroup::Loose, &Settings::RelDestPath, ResetTo::Default, kShapesPages,
     EditedBy::DestinationDialog},
    {u"HomeChapter", FileGroup::Book, &Settings::HomeChapter, ResetTo::Default, kShapesPages,
     EditedBy::HomeChapterDialog},
    {u"IndexTitle", FileGroup::Book, &Settings::IndexTitle, ResetTo::Nothing, kShapesPages, EditedBy::SettingsDialog},
    {u"IndexText", FileGroup::Book, &Settings::IndexText, ResetTo::Nothing, kShapesPages, EditedBy::SettingsDialog,
     nullptr, InFile::Always, kPlainForm},
    {u"Copyright", FileGroup::Book, &Settings::Copyright, ResetTo::Default, kShapesPages, EditedBy::SettingsDialog,
     nullptr, InFile::Always, kPlainForm},
};
inline constexpr std::size_t kSettingCount = std::size(kSettingTable);

// The project file lists its chapters after the settings, inside the last group.
static_assert(kSettingTable[kSettingCount - 1].group == FileGroup::Book);

/// The position of a setting's row in the table.
template <class Field>
constexpr std::size_t SettingIndex(Field field) {
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        const Field* held = std::get_if<Field>(&kSettingTable[i].field);
        if (held && *held == field) {
            return i;
        }
    }
    return kSettingCount;
}

template <class Field>
constexpr const SettingRow& SettingRowOf(Field field) {
    return kSettingTable[SettingIndex(field)];
}

/// Whether single files keep the setting in their preferences.
constexpr bool KeptForSingleFiles(const SettingRow& row) {
    return row.preferenceKey != nullptr || std::holds_alternative<CommentLines>(row.field);
}

/// Visits the alternatives of a `SettingField` with one lambda each.
template <class... Visitors>
struct Overloaded : Visitors... {
    using Visitors::operator()...;
};
// Clang before 17 deduces no aggregate's arguments by itself.
template <class... Visitors>
Overloaded(Visitors...) -> Overloaded<Visitors...>;

/// Gives `to` the setting's value in `from`.
void CopySetting(const SettingRow& row, const Settings& from, Settings& to);
/// Whether two settings hold the same value of the setting.
bool SameSetting(const SettingRow& row, const Settings& a, const Settings& b);

}  // namespace tessarel
