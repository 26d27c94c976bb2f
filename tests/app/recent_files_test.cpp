#include "app/recent_files.h"

#include <gtest/gtest.h>

#include "support/preferences.h"
#include "support/testing.h"

using namespace Qt::Literals::StringLiterals;

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
    list.reset(9);
    EXPECT_TRUE(VisibleCaptions(list).isEmpty());
    EXPECT_FALSE(list.separatorVisible());

    for (const char16_t* name : {u"one.c", u"two.c", u"three.c"}) {
        list.add(QString::fromUtf16(name));
    }
    EXPECT_EQ(VisibleCaptions(list), (QStringList{u"&1 three.c"_s, u"&2 two.c"_s, u"&3 one.c"_s}));
    EXPECT_TRUE(list.separatorVisible());

    list.add(u"one.c"_s);
    EXPECT_EQ(VisibleCaptions(list), (QStringList{u"&1 one.c"_s, u"&2 three.c"_s, u"&3 two.c"_s}));

    // Letter case makes a different file.
    list.add(u"ONE.c"_s);
    EXPECT_EQ(list.RecentFiles.mid(0, 2), (QStringList{u"ONE.c"_s, u"one.c"_s}));
}

TEST(RecentFiles, longPathsShowTheirLastFortyCharacters) {
    RecentList list;
    list.reset(9);
    const QString path = u"/0123456789/0123456789/0123456789/abcde/x.c"_s;  // 43 characters
    ASSERT_EQ(path.size(), 43);
    list.add(path);
    EXPECT_EQ(list.menuEntries().front().caption, u"&1 "_s + path.right(40));
}

TEST(RecentFiles, aTenthFileDropsTheOldestAndIsStored) {
    testing::TestEnvironment environment;
    Preferences& preferences = *environment.preferences;
    RecentList list;
    list.reset(9);
    for (int i = 1; i <= 10; ++i) {
        list.add(u"file%1.c"_s.arg(i));
    }
    list.save(preferences);
    EXPECT_EQ(preferences.ReadPreference(prefs::kGeneral, u"h0"_s, QString()), u"file10.c"_s);
    EXPECT_EQ(preferences.ReadPreference(prefs::kGeneral, u"h8"_s, QString()), u"file2.c"_s);
    EXPECT_FALSE(list.RecentFiles.contains(u"file1.c"_s));

    RecentList loaded;
    loaded.reset(9);
    loaded.load(preferences);
    EXPECT_EQ(loaded.RecentFiles, list.RecentFiles);
    EXPECT_EQ(VisibleCaptions(loaded).size(), 9);
    EXPECT_EQ(VisibleCaptions(loaded).back(), u"&9 file2.c"_s);
}

TEST(RecentFiles, numbersCountOnlyFilledSlots) {
    testing::TestEnvironment environment;
    environment.preferences->WritePreference(prefs::kGeneral, u"h0"_s, u"a.c"_s);
    environment.preferences->WritePreference(prefs::kGeneral, u"h2"_s, u"b.c"_s);
    RecentList list;
    list.reset(9);
    list.load(*environment.preferences);
    const std::vector<RecentList::MenuEntry> entries = list.menuEntries();
    EXPECT_EQ(entries[0].caption, u"&1 a.c"_s);
    EXPECT_FALSE(entries[1].visible);
    EXPECT_EQ(entries[2].caption, u"&2 b.c"_s);
}

}  // namespace
}  // namespace tessarel
