#include "extract/source_parser.h"
#include "extract/block_formatters.h"
#include "extract/comment_scanner.h"
#include "extract/document_model.h"
#include "extract/emphasis.h"
#include "extract/protection_passes.h"
#include "extract/section_sort.h"
#include "support/paths.h"
#include "support/testing.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>

using namespace tessarel;
using namespace Qt::Literals::StringLiterals;
using tessarel::testing::Crlf;
using tessarel::testing::ReadBytes;
using tessarel::testing::RecordingUserInterface;
using tessarel::testing::WriteBytes;

namespace {

class SourceParserTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = folder.path() + u"/"_s + name;
        WriteBytes(path, bytes);
        return path;
    }

    bool parse(const QString& path, bool hyperlinks = true) {
        doc.SourceFilePath = path;
        options.hyperlinks = hyperlinks;
        const int before = ui.progressSteps;
        const bool found = ParseSourceFile(ui, doc, path, options);
        stepsTaken = ui.progressSteps - before;
        return found;
    }

    QTemporaryDir folder;
    RecordingUserInterface ui;
    DocumentModel doc;
    ParseOptions options;
    int stepsTaken = 0;
};

/// What the block formatters and the final clean-up make of a collected text.
QString Finished(const QString& collected) {
    QString text = collected;
    FormatSectionText(text);
    RestoreWebAddresses(text);
    return text;
}

const QByteArray kCSource =
    "/*\n"
    " * function: Add\n"
    " * Adds *two* numbers: see http://x.y/z and https://a.b/c.\n"
    " *\n"
    " * o one\n"
    " */\n"
    "int Add(int a,\n"
    "        int b);\n"
    "\n"
    "// Note: mentions Sub\n"
    "// sub: Sub\n"
    "// Subtracts; calls Add and Sub.\n"
    "int Sub(int a, int b) { return Add(a, -b); }\n";

TEST_F(SourceParserTest, DocumentedCSource) {
    ASSERT_TRUE(parse(write(u"calc.c"_s, kCSource)));
    ASSERT_EQ(doc.count(), 2);
    EXPECT_EQ(doc.section(0).Position, 18);
    EXPECT_EQ(doc.section(0).Name, u"Add"_s);
    EXPECT_EQ(doc.section(0).Text,
              Finished(Crlf(u"   Adds <b>two</b> numbers: see http&#58&#47&#47x.y/z and https&#58&#47&#47a.b/c.\n"
                            u"  \n   o one\n \n\n"_s)));
    EXPECT_TRUE(doc.section(0).Text.contains(u"see http://x.y/z and https://a.b/c."_s));
    EXPECT_EQ(doc.section(0).Declaration, Crlf(u"int Add(int a,\n        int b);"_s));
    // The keyword line right after "Note: ..." starts a section all the same.
    EXPECT_EQ(doc.section(1).Name, u"Sub"_s);
    EXPECT_EQ(doc.section(1).Text, Finished(Crlf(u"   Subtracts; calls Add and Sub.\n\n"_s)));
    EXPECT_EQ(doc.section(1).Declaration, u"int Sub(int a, int b) { return Add(a, -b); }"_s);
    // The working text is let go once the sections hold their texts.
    EXPECT_TRUE(doc.SourceText.isEmpty());
    EXPECT_GT(doc.SourceTextLength, doc.section(1).Position);
}

// Line-feed files and the links setting are checked on whole pages by the
// golden tests; the first section never being a target by the linker's.
// A text long enough to keep its working buffer instead of a copy: the
// sections after it come out as after a short one, and a second copy of it
// as the first.
TEST_F(SourceParserTest, ALongSectionTextLeavesTheNextSectionsAlone) {
    QByteArray longSection = "// function: Long\n// Mentions Short.\n//\n";
    const QByteArray shortSection = longSection + "// term - what it means\n";
    while (longSection.size() < 120000) {
        longSection += "// term" + QByteArray::number(longSection.size()) + " - what it means\n";
    }
    const QByteArray before = "// function: Before\n// First text.\n//\n";
    const QByteArray after = "// function: After\n// Last text.\n//\n";
    const auto sectionsOf = [this](const QString& path) {
        EXPECT_TRUE(parse(path, false));
        return doc.Sections;
    };
    const auto withLong = sectionsOf(write(u"long.c"_s, before + longSection + longSection + after + before));
    const auto withShort = sectionsOf(write(u"short.c"_s, before + shortSection + shortSection + after + before));
    ASSERT_EQ(withLong.size(), 5u);
    ASSERT_EQ(withShort.size(), 5u);
    EXPECT_GT(withLong[1].Text.size(), 65536);
    EXPECT_TRUE(withLong[1].Text.contains(u"<table class=DefTable>"_s));
    EXPECT_EQ(withLong[1].Text, withLong[2].Text);
    for (const size_t k : {0u, 3u, 4u}) {
        EXPECT_EQ(withLong[k].Name, withShort[k].Name);
        EXPECT_EQ(withLong[k].Text, withShort[k].Text) << k;
    }
}

// A source large enough that the parse gives its memory back as it goes: every
// section still reads as the same section alone.
TEST_F(SourceParserTest, ASourceGivingItsMemoryBackReadsAsItsPartsAlone) {
    const auto block = [](int i) {
        const QByteArray name = "Fn" + QByteArray::number(i);
        return "/*\n   function: " + name +
               "\n\n   Adds a *b* to c, see http://x.y/z.\n\n     term - meaning\n*/\nint " + name +
               "(int a,\n        int b);\n\n";
    };
    ASSERT_TRUE(parse(write(u"one.c"_s, block(0)), false));
    ASSERT_EQ(doc.count(), 1);
    const SectionRecord alone = doc.section(0);
    QByteArray source;
    int count = 0;
    for (; source.size() < 9 * 1024 * 1024; ++count) {
        source += block(count);
    }
    const QString path = write(u"many.c"_s, source);
    // One thread, and two that give the memory back only behind what both have done.
    for (const bool secondThread : {false, true}) {
        options.secondThread = secondThread;
        ASSERT_TRUE(parse(path, false));
        ASSERT_EQ(doc.count(), count);
        EXPECT_TRUE(doc.SourceText.isEmpty());
        for (int i = 0; i < count; ++i) {
            const QString name = u"Fn"_s + QString::number(i);
            const SectionRecord& section = doc.section(i);
            ASSERT_EQ(section.Name, name);
            ASSERT_EQ(section.Text, alone.Text) << i;
            ASSERT_EQ(section.Declaration, QString(alone.Declaration).replace(u"Fn0"_s, name)) << i;
        }
    }
}

// Sections formatted on two threads read as on one: links to earlier and later
// sections, names that end their comment block, declarations shared by sections
// of one name, long texts and sections without any, across many chunks.
TEST_F(SourceParserTest, TwoThreadsGiveWhatOneGives) {
    QByteArray source = "/*\n   Intro mentions Fn7 and Fn900.\n*/\n";
    for (int i = 0; i < 1200; ++i) {
        const QByteArray name = "Fn" + QByteArray::number(i % 1000);
        const QByteArray other = "Fn" + QByteArray::number((i * 37) % 1000);
        if (i % 97 == 0) {
            source += "// function: " + name + " */\n";
        }
        source += "/*\n   function: " + name + "\n\n   Calls " + other + ", (" + other +
                  ") and *bold* words.\n\n     term - meaning\n\n   o item\n";
        if (i % 251 == 0) {
            for (int k = 0; k < 3000; ++k) {
                source += "   line " + QByteArray::number(k) + " of a long text, see http://x.y/z.\n";
            }
        }
        source += "*/\nint " + name + "(int a,\n        int b);\n\n";
    }
    const QString path = write(u"links.c"_s, source);
    ASSERT_TRUE(parse(path));
    const std::vector<SectionRecord> one = doc.Sections;
    options.secondThread = true;
    ASSERT_TRUE(parse(path));
    ASSERT_EQ(doc.Sections.size(), one.size());
    ASSERT_GT(one.size(), 1200u);
    int linked = 0;
    int withoutText = 0;
    for (size_t i = 0; i < one.size(); ++i) {
        const SectionRecord& section = doc.Sections[i];
        ASSERT_EQ(section.Position, one[i].Position) << i;
        ASSERT_EQ(section.Name, one[i].Name) << i;
        ASSERT_EQ(section.Text, one[i].Text) << i;
        ASSERT_EQ(section.Declaration, one[i].Declaration) << i;
        linked += section.Text.contains(u"@goto["_s) ? 1 : 0;
        withoutText += section.Text.isEmpty() ? 1 : 0;
    }
    EXPECT_GT(linked, 1000);
    EXPECT_GE(withoutText, 10);
    EXPECT_TRUE(std::any_of(one.begin(), one.end(), [](const SectionRecord& r) { return r.Text.size() > 65536; }));
}

TEST_F(SourceParserTest, PathsAndProgressWithoutWritingAnyPage) {
    const QString path = write(u"empty.txt"_s, QByteArray());
    const QString page = path + u".htm"_s;
    WriteBytes(page, "old page");
    EXPECT_FALSE(parse(path));
    EXPECT_EQ(doc.count(), 0);
    EXPECT_EQ(doc.SourceFolder, FolderOf(path));
    EXPECT_EQ(doc.SourceFileName, u"empty.txt"_s);
    EXPECT_EQ(ReadBytes(page), QByteArray("old page"));

    ASSERT_TRUE(parse(write(u"calc.c"_s, kCSource)));
    EXPECT_FALSE(FileExists(folder.path() + u"/calc.c.htm"_s));
    EXPECT_EQ(ui.progressMax, 20 + 2 + 3 + 3);  // the default styles "//", "'" and "/* */"
    EXPECT_EQ(ParseProgressMaximum(options.comments), ui.progressMax);
    // One step per pass, leaving room for the two of the page writer.
    EXPECT_EQ(stepsTaken, 24);
    EXPECT_EQ(ui.progressResets, 2);

    EXPECT_FALSE(parse(folder.path() + u"/missing.c"_s));
}

TEST_F(SourceParserTest, EveryCombinationOfCommentStyles) {
    const QByteArray source =
        "// function: Slash\nx1 = 1\n' function: Quote\nx2 = 1\n# function: Hash\nx3 = 1\n"
        "; function: Semi\nx4 = 1\n-- function: Dash\nx5 = 1\nC function: Cee\nx6 = 1\n"
        "! function: Bang\nx7 = 1\n/* function: Star */\nx8 = 1\n(* function: Paren *)\nx9 = 1\n"
        "{ function: Brace }\nx10 = 1\n";
    const QString path = write(u"styles.txt"_s, source);
    const QStringList names = {u"Slash"_s, u"Quote"_s, u"Hash"_s, u"Semi"_s,  u"Dash"_s,
                               u"Cee"_s,   u"Bang"_s,  u"Star"_s, u"Paren"_s, u"Brace"_s};
    for (int bits = 0; bits < 1024; ++bits) {
        CommentStyles& styles = options.comments;
        // In the order of the names above.
        bool CommentStyles::*const flags[] = {&CommentStyles::doubleSlash, &CommentStyles::apostrophe,
                                              &CommentStyles::hash,        &CommentStyles::semicolon,
                                              &CommentStyles::dash,        &CommentStyles::letterC,
                                              &CommentStyles::exclamation, &CommentStyles::slashStar,
                                              &CommentStyles::parenStar,   &CommentStyles::braces};
        bool on[10];
        for (int k = 0; k < 10; ++k) {
            on[k] = (bits & (1 << k)) != 0;
            styles.*flags[k] = on[k];
        }
        QStringList expected;
        for (int k = 0; k < 10; ++k) {
            if (on[k]) {
                expected << names[k];
            }
        }
        EXPECT_EQ(parse(path), !expected.isEmpty());
        QStringList found;
        for (int i = 0; i < doc.count(); ++i) {
            found << doc.section(i).Name;
            // Each keyword line ends its one-line comment: no text follows it.
            EXPECT_EQ(doc.section(i).Text, QString()) << bits;
        }
        ASSERT_EQ(found, expected) << bits;
        // Every pass of a style takes its steps, and the maximum counts them.
        const int styleSteps = StyleProgressSteps(styles) + EmphasisHidingSteps(styles);
        EXPECT_EQ(ui.progressMax, 20 + styleSteps);
        EXPECT_EQ(stepsTaken, 11 + (styles.anyMultiLine() ? 2 : 0) + styleSteps + (doc.count() > 0 ? 3 : 0)) << bits;
        EXPECT_LE(stepsTaken + 2, ui.progressMax) << bits;
    }
}

TEST_F(SourceParserTest, BadInputNeverCrashes) {
    QByteArray binary;
    for (int i = 0; i < 300000; ++i) {
        binary += static_cast<char>((i * 131) % 256);
    }
    EXPECT_FALSE(parse(write(u"binary.bin"_s, binary)));

    QByteArray nameless = "/* function:\n";
    for (int i = 0; i < 5000; ++i) {
        nameless += "function:\nsub: ;\n{{ x(\n" + QByteArray(200, '(') + "\n";
    }
    ASSERT_TRUE(parse(write(u"nameless.c"_s, nameless)));
    // Every "function:" but the one right after the first keyword line.
    ASSERT_EQ(doc.count(), 5000);
    for (int i = 0; i < doc.count(); ++i) {
        ASSERT_EQ(doc.section(i).Name, u"PLEASE NAME THIS SECTION"_s);
        ASSERT_EQ(doc.section(i).Declaration, QString());
    }

    QByteArray chunk = "int f(int a) { return a; } /* function: f */ // x\t";
    chunk += '\0';
    chunk += " \xff {{ ";
    QByteArray line;
    while (line.size() < 10 * 1024 * 1024) {
        line += chunk;
    }
    EXPECT_FALSE(parse(write(u"line.c"_s, line)));
}

TEST(SectionSort, TheFirstSectionStaysAndTheOthersFollowTheirNames) {
    DocumentModel doc;
    const QStringList names = {u"Zeta"_s, u"gamma"_s, u"Beta"_s, u"alpha"_s, u"Alpha"_s};
    doc.Sections.resize(static_cast<size_t>(names.size()));
    for (int i = 0; i < names.size(); ++i) {
        doc.section(i).Name = names[i];
        doc.section(i).Position = i;
    }
    SortSectionsByName(doc);
    QStringList sorted;
    std::vector<qsizetype> positions;
    for (int i = 0; i < doc.count(); ++i) {
        sorted << doc.section(i).Name;
        positions.push_back(doc.section(i).Position);
    }
    // Case does not count; names that compare equal keep their order.
    EXPECT_EQ(sorted, (QStringList{u"Zeta"_s, u"alpha"_s, u"Alpha"_s, u"Beta"_s, u"gamma"_s}));
    EXPECT_EQ(positions, (std::vector<qsizetype>{0, 3, 4, 2, 1}));
}

}  // namespace
