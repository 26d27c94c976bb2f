#include "app/recent_files.h"

#include "support/preferences.h"
#include "support/testing.h"

#include <gtest/gtest.h>

namespace tessarel {
namespace {

QStringList VisibleCaptions(const RecentList& list) {
    QStringList captions;
    for (const RecentList::MenuEntry& entry : list.menuEntries()) {
        if (entry.visible) {
            captions << entry.caption;
        }
    }
    return captions;
}

TEST(RecentFiles, mostRecentFirstWithoutDuplicates) {
    RecentList list;
    list.InitRecentFiles(9);
    EXPECT_TRUE(VisibleCaptions(list).isEmpty());
    EXPECT_FALSE(list.separatorVisible());

    for (const char16_t* name : {u"one.c", u"two.c", u"three.c"}) {
        list.AddRecentFile(QString::fromUtf16(name));
    }
    EXPECT_EQ(VisibleCaptions(list),
              (QStringList{QStringLiteral("&1 three.c"), QStringLiteral("&2 two.c"), QStringLiteral("&3 one.c")}));
    EXPECT_TRUE(list.separatorVisible());

    list.AddRecentFile(QStringLiteral("one.c"));
    EXPECT_EQ(VisibleCaptions(list),
              (QStringList{QStringLiteral("&1 one.c"), QStringLiteral("&2 three.c"), QStringLiteral("&3 two.c")}));

    // Letter case makes a different file.
    list.AddRecentFile(QStringLiteral("ONE.c"));
    EXPECT_EQ(list.RecentFiles.mid(0, 2), (QStringList{QStringLiteral("ONE.c"), QStringLiteral("one.c")}));
}

TEST(RecentFiles, longPathsShowTheirLastFortyCharacters) {
    RecentList list;
    list.InitRecentFiles(9);
    const QString path = QStringLiteral("/0123456789/0123456789/0123456789/abcde/x.c");  // 43 characters
    ASSERT_EQ(path.size(), 43);
    list.AddRecentFile(path);
    EXPECT_EQ(list.menuEntries().front().caption, QStringLiteral("&1 ") + path.right(40));
}

TEST(RecentFiles, aTenthFileDropsTheOldestAndIsStored) {
    testing::TestEnvironment environment;
    Preferences& preferences = *environment.preferences;
    RecentList list;
    list.InitRecentFiles(9);
    for (int i = 1; i <= 10; ++i) {
        list.AddRecentFile(QStringLiteral("file%1.c").arg(i));
    }
    list.SaveRecentFiles(preferences);
    EXPECT_EQ(preferences.ReadPreference(prefs::kGeneral, QStringLiteral("h0"), QString()), QStringLiteral("file10.c"));
    EXPECT_EQ(preferences.ReadPreference(prefs::kGeneral, QStringLiteral("h8"), QString()), QStringLiteral("file2.c"));
    EXPECT_FALSE(list.RecentFiles.contains(QStringLiteral("file1.c")));

    RecentList loaded;
    loaded.InitRecentFiles(9);
    loaded.LoadRecentFiles(preferences);
    EXPECT_EQ(loaded.RecentFiles, list.RecentFiles);
    EXPECT_EQ(VisibleCaptions(loaded).size(), 9);
    EXPECT_EQ(VisibleCaptions(loaded).back(), QStringLiteral("&9 file2.c"));
}

TEST(RecentFiles, numbersCountOnlyFilledSlots) {
    testing::TestEnvironment environment;
    environment.preferences->WritePreference(prefs::kGeneral, QStringLiteral("h0"), QStringLiteral("a.c"));
    environment.preferences->WritePreference(prefs::kGeneral, QStringLiteral("h2"), QStringLiteral("b.c"));
    RecentList list;
    list.InitRecentFiles(9);
    list.LoadRecentFiles(*environment.preferences);
    const std::vector<RecentList::MenuEntry> entries = list.menuEntries();
    EXPECT_EQ(entries[0].caption, QStringLiteral("&1 a.c"));
    EXPECT_FALSE(entries[1].visible);
    EXPECT_EQ(entries[2].caption, QStringLiteral("&2 b.c"));
}

}  // namespace
}  // namespace tessarel
