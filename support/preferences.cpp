#include "support/preferences.h"

#include "support/setting_table.h"
#include "support/settings.h"
#include "support/string_functions.h"

#include <QSettings>
#include <QStandardPaths>

#include <algorithm>

namespace tessarel {

namespace prefs {

// Where the help compiler usually lives; elsewhere it is found on PATH as well.
QString DefaultCompilerPath() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\Program Files\\HTML Help Workshop");
#else
    return QStringLiteral("/usr/bin");
#endif
}

QString RecentKey(int slot) { return QStringLiteral("h") + QString::number(slot); }

}  // namespace prefs

Preferences::Preferences()
    : store_(std::make_unique<QSettings>(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                                             QStringLiteral("/Tessarel/Tessarel.conf"),
                                         QSettings::IniFormat)) {}

Preferences::Preferences(const QString& iniPath) : store_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

Preferences::~Preferences() = default;

QString Preferences::ReadPreference(const QString& section, const QString& key, const QString& defaultValue) const {
    const QVariant value = store_->value(section + QLatin1Char('/') + key);
    if (!value.isValid()) {
        return defaultValue;
    }
    // A value with a comma reads back as a list; it was written as one string.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QStringLiteral(", "));
    }
    return value.toString();
}

void Preferences::WritePreference(const QString& section, const QString& key, const QString& value) {
    store_->setValue(section + QLatin1Char('/') + key, value);
    store_->sync();
}

bool Preferences::ReadFlag(const QString& section, const QString& key, const QString& defaultValue) const {
    return NumberValue(ReadPreference(section, key, defaultValue)) != 0;
}

void Preferences::WriteFlag(const QString& section, const QString& key, bool value) {
    WritePreference(section, key, value ? QStringLiteral(" 1") : QStringLiteral(" 0"));
}

QString Preferences::fileName() const { return store_->fileName(); }

namespace {

/// The stored form of a flag's default, as the program always gave it.
QString FlagDefault(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

}  // namespace

Settings ReadSingleFileSettings(const Preferences& preferences) {
    Settings values;
    // A missing key leaves the default.
    auto read = [&](const char16_t* key, const QString& defaultValue) {
        return preferences.ReadPreference(prefs::kSingleFile, QString::fromUtf16(key), defaultValue);
    };
    auto readFlag = [&](const char16_t* key, bool& flag) {
        flag = preferences.ReadFlag(prefs::kSingleFile, QString::fromUtf16(key), FlagDefault(flag));
    };
    for (const SettingRow& row : kSettingTable) {
        if (!KeptForSingleFiles(row)) {
            continue;
        }
        std::visit(Overloaded{
                       [&](bool Settings::*flag) { readFlag(row.preferenceKey, values.*flag); },
                       [&](QString Settings::*text) { values.*text = read(row.preferenceKey, values.*text); },
                       [&](ChapterOverview Settings::*overview) {
                           values.*overview = ChapterOverviewFromStored(
                               read(row.preferenceKey, StoredChapterOverview(values.*overview)));
                       },
                       [&](CommentLines lines) {
                           for (const CommentStyleKey& style : CommentStyleKeys(lines)) {
                               readFlag(style.preferenceKey, values.comments.*style.flag);
                           }
                       },
                   },
                   row.field);
    }
    return values;
}

void WriteSingleFileSetting(Preferences& preferences, const SettingRow& row, const Settings& values) {
    if (!KeptForSingleFiles(row)) {
        return;
    }
    auto write = [&](const char16_t* key, const QString& value) {
        preferences.WritePreference(prefs::kSingleFile, QString::fromUtf16(key), value);
    };
    auto writeFlag = [&](const char16_t* key, bool on) {
        preferences.WriteFlag(prefs::kSingleFile, QString::fromUtf16(key), on);
    };
    std::visit(Overloaded{
                   [&](bool Settings::*flag) { writeFlag(row.preferenceKey, values.*flag); },
                   [&](QString Settings::*text) { write(row.preferenceKey, values.*text); },
                   [&](ChapterOverview Settings::*overview) {
                       write(row.preferenceKey, StoredChapterOverview(values.*overview));
                   },
                   [&](CommentLines lines) {
                       for (const CommentStyleKey& style : CommentStyleKeys(lines)) {
                           writeFlag(style.preferenceKey, values.comments.*style.flag);
                       }
                   },
               },
               row.field);
}

void LoadSingleFileSettings(const Preferences& preferences, bool projectOpen, Settings& settings) {
    if (projectOpen) {
        return;
    }
    const Settings stored = ReadSingleFileSettings(preferences);
    for (const SettingRow& row : kSettingTable) {
        if (row.reset == ResetTo::Preference) {
            CopySetting(row, stored, settings);
        }
    }
}

CommentStyles ReadSingleFileCommentStyles(const Preferences& preferences) {
    return ReadSingleFileSettings(preferences).comments;
}

void WriteSingleFileCommentStyles(Preferences& preferences, const CommentStyles& styles) {
    Settings values;
    values.comments = styles;
    for (const CommentLines lines : {CommentLines::Single, CommentLines::Multiple}) {
        WriteSingleFileSetting(preferences, SettingRowOf(lines), values);
    }
}

bool ReadSingleFileSortSections(const Preferences& preferences) {
    const SettingRow& row = SettingRowOf(&Settings::SortSections);
    return NumberValue(preferences.ReadPreference(prefs::kSingleFile, QString::fromUtf16(row.preferenceKey),
                                                  FlagDefault(Settings{}.SortSections))) == 1;
}

int ReadBuildWorkers(const Preferences& preferences) {
    bool ok = false;
    const int workers =
        TrimSpaces(preferences.ReadPreference(prefs::kGeneral, prefs::kBuildWorkers, QStringLiteral("0"))).toInt(&ok);
    return ok && workers >= 0 && workers <= kMaxBuildWorkers ? workers : 0;
}

void WriteBuildWorkers(Preferences& preferences, int workers) {
    preferences.WritePreference(prefs::kGeneral, prefs::kBuildWorkers,
                                QString::number(std::clamp(workers, 0, kMaxBuildWorkers)));
}

}  // namespace tessarel
