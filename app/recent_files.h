#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace tessarel {

class Preferences;

/// The recently opened projects and source files, most recent first, as the
/// File menu lists them and "general_settings" h0..h8 store them.
class RecentList {
public:
    static constexpr int kSlots = 9;

    struct MenuEntry {
        QString caption;  ///< "&1 path" with at most the last 40 characters of the path
        bool visible = false;
    };

    /// `count` empty slots.
    void reset(int count);
    /// Moves the path to slot 0, or inserts it there; the last slot falls off.
    void add(const QString& path);
    void save(Preferences& preferences) const;
    void load(const Preferences& preferences);

    /// One entry per slot, in slot order, and whether the separator shows.
    std::vector<MenuEntry> menuEntries() const;
    bool separatorVisible() const;

    int RecentCount = 0;
    QStringList RecentFiles;  ///< "" is an empty slot

    const QString& slot(int index) const { return RecentFiles.at(index); }
};

}  // namespace tessarel
