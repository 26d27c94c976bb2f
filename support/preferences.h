#pragma once

#include <QString>

#include <memory>

class QSettings;

namespace tessarel {

struct CommentStyles;
struct Settings;

namespace prefs {
// Sections.
inline const QString kSingleFile = QStringLiteral("single_file_settings");
inline const QString kProject = QStringLiteral("project_settings");
inline const QString kGeneral = QStringLiteral("general_settings");
// Keys of "single_file_settings" and their defaults.
inline const QString kTitle = QStringLiteral("propTitle");
inline const QString kHyperlinks = QStringLiteral("propHyperlinks");
inline const QString kApi = QStringLiteral("propAPI");
inline const QString kStyle = QStringLiteral("propStyle");
inline const QString kSourceLocation = QStringLiteral("propSourceLocation");
inline const QString kLastGenerated = QStringLiteral("propLastGenerated");
inline const QString kSumCon = QStringLiteral("propSumCon");
inline const QString kSortSections = QStringLiteral("propSortSections");
inline const QString kEmbedStyle = QStringLiteral("propEmbedStyle");
inline const QString kDefaultStyle = QStringLiteral("standard_babyblue");
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

/// Loads Title, Links, Api, Style, Overview, IncludeSourceLocation and
/// IncludeLastGenerated from "single_file_settings" unless a project is open.
void LoadSingleFileSettings(const Preferences& preferences, bool projectOpen, Settings& settings);
/// The comment styles of single-file mode, keys "chkS1".."chkM4" with their defaults.
CommentStyles ReadSingleFileCommentStyles(const Preferences& preferences);
void WriteSingleFileCommentStyles(Preferences& preferences, const CommentStyles& styles);

/// The most chapters a build makes at once.
inline constexpr int kMaxBuildWorkers = 256;
/// How many chapters a project build makes at once ("buildWorkers" of
/// "general_settings"): 1..kMaxBuildWorkers, or 0 for one per core (also when
/// absent or not a number in range).
int ReadBuildWorkers(const Preferences& preferences);
void WriteBuildWorkers(Preferences& preferences, int workers);

}  // namespace tessarel
