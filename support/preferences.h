#pragma once

#include <QString>

#include <memory>

class QSettings;

namespace tessarel {

struct CommentStyles;
struct Settings;
struct SettingRow;

namespace prefs {
// Sections.
inline const QString kSingleFile = QStringLiteral("single_file_settings");
inline const QString kProject = QStringLiteral("project_settings");
inline const QString kGeneral = QStringLiteral("general_settings");
// Key of "project_settings".
inline const QString kCompilerPath = QStringLiteral("htmlHelpCompilerPath");
QString DefaultCompilerPath();  ///< "C:\Program Files\HTML Help Workshop" on Windows, "/usr/bin" elsewhere
// Keys of "general_settings".
inline const QString kFirst = QStringLiteral("first");
/// The live preview, a flag: on ("1") by default.
inline const QString kLivePreview = QStringLiteral("livePreview");
QString RecentKey(int slot);  ///< "h0" .. "h8"
inline const QString kBuildWorkers = QStringLiteral("buildWorkers");
}  // namespace prefs

/// The per-user preference store: text values by section and key under the
/// application "Tessarel". An INI file at the standard per-user place, so users
/// and scripts can read and set it; tests give their own file.
class Preferences {
public:
    /// The user's store ($XDG_CONFIG_HOME/Tessarel/Tessarel.conf on Linux).
    Preferences();
    /// A store in the given INI file.
    explicit Preferences(const QString& iniPath);
    ~Preferences();
    Preferences(const Preferences&) = delete;
    Preferences& operator=(const Preferences&) = delete;

    QString ReadPreference(const QString& section, const QString& key, const QString& defaultValue) const;
    void WritePreference(const QString& section, const QString& key, const QString& value);
    /// A flag read as a number: true when not 0 (" 1" and "1" agree).
    bool ReadFlag(const QString& section, const QString& key, const QString& defaultValue) const;
    /// A flag in its stored form, " 1" or " 0".
    void WriteFlag(const QString& section, const QString& key, bool value);
    QString fileName() const;

private:
    std::unique_ptr<QSettings> store_;
};

// The keys of "single_file_settings" are the setting table's (setting_table.h).

/// Every setting single files keep, from "single_file_settings" (a missing key
/// gives the setting's default); the others at their defaults.
Settings ReadSingleFileSettings(const Preferences& preferences);
/// Stores one setting of `values` in its single-file form (a flag as " 1" or
/// " 0"); nothing for a setting single files do not keep.
void WriteSingleFileSetting(Preferences& preferences, const SettingRow& row, const Settings& values);
/// Loads the settings whose reset value is their preference, unless a project
/// is open.
void LoadSingleFileSettings(const Preferences& preferences, bool projectOpen, Settings& settings);
/// The comment styles of single-file mode.
CommentStyles ReadSingleFileCommentStyles(const Preferences& preferences);
void WriteSingleFileCommentStyles(Preferences& preferences, const CommentStyles& styles);
/// Whether a single file's sections are sorted: only when the stored number is 1.
bool ReadSingleFileSortSections(const Preferences& preferences);

/// The most chapters a build makes at once.
inline constexpr int kMaxBuildWorkers = 256;
/// How many chapters a project build makes at once ("buildWorkers" of
/// "general_settings"): 1..kMaxBuildWorkers, or 0 for one per core (also when
/// absent or not a number in range).
int ReadBuildWorkers(const Preferences& preferences);
void WriteBuildWorkers(Preferences& preferences, int workers);

}  // namespace tessarel
