#include "support/preferences.h"

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

void LoadSingleFileSettings(const Preferences& preferences, bool projectOpen, Settings& settings) {
    if (projectOpen) {
        return;
    }
    const QString one = QStringLiteral("1");
    const QString zero = QStringLiteral("0");
    settings.Title = preferences.ReadFlag(prefs::kSingleFile, prefs::kTitle, one);
    settings.Links = preferences.ReadFlag(prefs::kSingleFile, prefs::kHyperlinks, one);
    settings.Api = preferences.ReadFlag(prefs::kSingleFile, prefs::kApi, one);
    settings.IncludeSourceLocation = preferences.ReadFlag(prefs::kSingleFile, prefs::kSourceLocation, zero);
    settings.IncludeLastGenerated = preferences.ReadFlag(prefs::kSingleFile, prefs::kLastGenerated, zero);
    settings.Style = preferences.ReadPreference(prefs::kSingleFile, prefs::kStyle, prefs::kDefaultStyle);
    settings.Overview = ChapterOverviewFromStored(preferences.ReadPreference(prefs::kSingleFile, prefs::kSumCon, one));
}

namespace {

struct StyleKey {
    const char16_t* key;
    bool CommentStyles::*flag;
    bool defaultOn;
};

constexpr StyleKey kStyleKeys[] = {
    {u"chkS1", &CommentStyles::doubleSlash, true},   {u"chkS2", &CommentStyles::apostrophe, true},
    {u"chkS4", &CommentStyles::hash, false},         {u"chkS8", &CommentStyles::semicolon, false},
    {u"chkS16", &CommentStyles::dash, false},        {u"chkS32", &CommentStyles::letterC, false},
    {u"chkS64", &CommentStyles::exclamation, false}, {u"chkM1", &CommentStyles::slashStar, true},
    {u"chkM2", &CommentStyles::parenStar, false},    {u"chkM4", &CommentStyles::braces, false},
};

}  // namespace

CommentStyles ReadSingleFileCommentStyles(const Preferences& preferences) {
    CommentStyles styles;
    for (const StyleKey& entry : kStyleKeys) {
        styles.*entry.flag = preferences.ReadFlag(prefs::kSingleFile, QString::fromUtf16(entry.key),
                                                  entry.defaultOn ? QStringLiteral("1") : QStringLiteral("0"));
    }
    return styles;
}

void WriteSingleFileCommentStyles(Preferences& preferences, const CommentStyles& styles) {
    for (const StyleKey& entry : kStyleKeys) {
        preferences.WriteFlag(prefs::kSingleFile, QString::fromUtf16(entry.key), styles.*entry.flag);
    }
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
