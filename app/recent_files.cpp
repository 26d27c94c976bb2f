#include "app/recent_files.h"

#include "support/preferences.h"

namespace tessarel {

namespace {
constexpr qsizetype kCaptionPathLength = 40;
}

void RecentList::reset(int count) {
    RecentCount = count;
    RecentFiles = QStringList(count, QString());
}

void RecentList::add(const QString& path) {
    if (RecentCount < 1) {
        return;
    }
    QStringList kept;
    for (const QString& entry : RecentFiles) {
        if (entry != path) {
            kept << entry;
        }
    }
    while (kept.size() < RecentCount) {
        kept << QString();
    }
    kept.prepend(path);
    kept.resize(RecentCount);
    RecentFiles = kept;
}

void RecentList::save(Preferences& preferences) const {
    for (int i = 0; i < kSlots && i < RecentCount; ++i) {
        preferences.WritePreference(prefs::kGeneral, prefs::RecentKey(i), RecentFiles.at(i));
    }
}

void RecentList::load(const Preferences& preferences) {
    for (int i = 0; i < kSlots && i < RecentCount; ++i) {
        RecentFiles[i] = preferences.ReadPreference(prefs::kGeneral, prefs::RecentKey(i), QString());
    }
}

std::vector<RecentList::MenuEntry> RecentList::menuEntries() const {
    std::vector<MenuEntry> entries(static_cast<size_t>(RecentCount));
    int shown = 0;
    for (int i = 0; i < RecentCount; ++i) {
        const QString& path = RecentFiles.at(i);
        if (path.isEmpty()) {
            continue;
        }
        ++shown;
        entries[static_cast<size_t>(i)].caption =
            QStringLiteral("&") + QString::number(shown) + QLatin1Char(' ') + path.right(kCaptionPathLength);
        entries[static_cast<size_t>(i)].visible = true;
    }
    return entries;
}

bool RecentList::separatorVisible() const {
    for (const QString& path : RecentFiles) {
        if (!path.isEmpty()) {
            return true;
        }
    }
    return false;
}

}  // namespace tessarel
