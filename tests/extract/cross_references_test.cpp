#include "extract/cross_references.h"
#include "extract/document_model.h"
#include "support/string_functions.h"
#include "support/testing.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

using namespace tessarel;
using namespace Qt::Literals::StringLiterals;
using tessarel::testing::Crlf;

namespace {

/// Links the sections' texts to each other, as the parser does.
void ResolveCrossReferences(DocumentModel& doc) {
    const SectionLinker linker(LinkTargets(doc));
    SectionLinker::Buffers buffers;
    for (int i = 0; i < doc.count(); ++i) {
        linker.link(doc.section(i).Text, i, buffers);
    }
}

DocumentModel Model(const QStringList& names, const QStringList& texts) {
    DocumentModel doc;
    doc.Sections.resize(static_cast<size_t>(names.size()));
    for (int i = 0; i < names.size(); ++i) {
        doc.section(i).Name = names[i];
        doc.section(i).Text = texts[i];
    }
    return doc;
}

QStringList LinkedTexts(const QStringList& names, const QStringList& texts) {
    DocumentModel doc = Model(names, texts);
    ResolveCrossReferences(doc);
    QStringList result;
    for (int i = 0; i < doc.count(); ++i) {
        result << doc.section(i).Text;
    }
    return result;
}

/// The replacements exactly as written: for every target, every other text,
/// nine whole-word replacements.
void LiteralLinks(DocumentModel& doc) {
    static const QStringList before = {u""_s, u""_s, u""_s, u""_s, u""_s, u"("_s, u"("_s, u"("_s, u"("_s};
    static const QStringList after = {u""_s, u"."_s, u","_s, u";"_s, u"("_s, u")"_s, u")."_s, u"),"_s, u");"_s};
    for (int j = 1; j < doc.count(); ++j) {
        const QString name = doc.section(j).Name;
        if (name.isEmpty()) {
            continue;
        }
        for (int i = 0; i < doc.count(); ++i) {
            if (i == j) {
                continue;
            }
            for (qsizetype k = 0; k < before.size(); ++k) {
                ReplaceWord(doc.section(i).Text, before[k] + name + after[k],
                            before[k] + u"@goto["_s + name + u"]"_s + after[k]);
            }
        }
    }
}

/// Links the texts with the linker and with the written-out replacements and
/// compares them; the number of texts the links changed, -1 when they differ.
int LinkedLikeLiteral(const QStringList& names, const QStringList& texts) {
    DocumentModel fast = Model(names, texts);
    DocumentModel literal = Model(names, texts);
    ResolveCrossReferences(fast);
    LiteralLinks(literal);
    int changed = 0;
    for (int i = 0; i < fast.count(); ++i) {
        const QString& text = fast.section(i).Text;
        EXPECT_EQ(text, literal.section(i).Text)
            << "names: " << names.join(u'|').toStdString() << "\ntext: " << texts[i].toStdString();
        if (text != literal.section(i).Text) {
            return -1;
        }
        changed += text != texts[i] ? 1 : 0;
    }
    return changed;
}

// One linker serves every text of a parse; each text must come out as linking
// it alone gives, whatever the texts before it were, and no target list means
// no change.
TEST(SectionLinker, OneLinkerForManyTextsLinksEachAsAlone) {
    const DocumentModel doc =
        Model({u"Intro"_s, u"Open"_s, u"Close File"_s, u"x@y"_s},
              {u" Open and Close File\r\n"_s, u" (Open), Close File.\r\n"_s, u"\tOpen; x@y \r\n"_s, u" nothing\r\n"_s});
    const std::vector<LinkTarget> targets = LinkTargets(doc);
    const SectionLinker linker(targets);
    const SectionLinker none({});
    SectionLinker::Buffers buffers;
    for (int round = 0; round < 2; ++round) {
        for (int i = doc.count() - 1; i >= 0; --i) {
            QString shared = doc.section(i).Text;
            linker.link(shared, i, buffers);
            QString alone = doc.section(i).Text;
            SectionLinker::Buffers fresh;
            SectionLinker(targets).link(alone, i, fresh);
            EXPECT_EQ(shared, alone) << i;
            QString untouched = doc.section(i).Text;
            none.link(untouched, i, buffers);
            EXPECT_EQ(untouched, doc.section(i).Text);
        }
    }
    QString first = doc.section(0).Text;
    linker.link(first, 0, buffers);
    EXPECT_EQ(first, u" @goto[Open] and @goto[Close File]\r\n"_s);
}

// The linker keeps one table slot, one pool and one set of working buffers for
// all names and texts; clean names take a path of their own. Both paths, and
// the buffers carried from text to text, must give what the replacements
// written out give, above all with names that share a first word or a name.
TEST(CrossReferences, ManySectionsOfSharedAndPrefixedNamesGiveTheLiteralResults) {
    const QStringList clean = {
        u"Add"_s,         u"Add"_s,          u"Open"_s,          u"Open File"_s, u"Open File Now"_s,
        u"File"_s,        u"File Now"_s,     u"f(x)"_s,          u"Add."_s,      u"x"_s,
        u"x"_s,           u"(x)"_s,          u"Add;"_s,          u"Open("_s,     u"Open  File"_s,
        u"Open File 1"_s, u"Open File 12"_s, u"Open File 1 x"_s, u"Open Files"_s};
    const QStringList literal = {u"a[i]"_s,    u"@goto[Add]"_s, u"Add]"_s, u"x]"_s, u"[x"_s,   u"Open@File"_s,
                                 u"@goto[x"_s, u"Open File]"_s, u"("_s,    u""_s,   u" Add"_s, u"b\tc"_s};
    const QStringList glue = {u" "_s, u" "_s, u" "_s, u"  "_s, u"\t"_s, u"\r\n"_s, u"\n"_s,     u"\r"_s,
                              u"("_s, u")"_s, u"."_s, u","_s,  u";"_s,  u"]"_s,    u"@goto["_s, u"y"_s};
    QRandomGenerator random(23);
    int cleanRounds = 0;
    int cleanRoundsLinked = 0;
    for (int round = 0; round < 1500; ++round) {
        // Two rounds in three have clean names only.
        const bool onlyClean = random.bounded(3) != 0;
        const auto pick = [&]() {
            return !onlyClean && random.bounded(4) == 0 ? literal[random.bounded(literal.size())]
                                                        : clean[random.bounded(clean.size())];
        };
        QStringList names;
        QStringList texts;
        const int count = random.bounded(2, 13);
        for (int i = 0; i < count; ++i) {
            names << pick();
        }
        for (int i = 0; i < count; ++i) {
            QString text;
            const int pieces = random.bounded(0, 50);
            for (int k = 0; k < pieces; ++k) {
                text += random.bounded(5) < 2 ? names[random.bounded(count)] : glue[random.bounded(glue.size())];
            }
            texts << text;
        }
        const int linked = LinkedLikeLiteral(names, texts);
        ASSERT_GE(linked, 0);
        const bool changed = linked > 0;
        if (onlyClean) {
            ++cleanRounds;
            cleanRoundsLinked += changed ? 1 : 0;
        }
    }
    // The comparison means something only if the clean rounds link.
    EXPECT_GT(cleanRoundsLinked, cleanRounds / 2);
}

/// Sections named `first` and `pattern` with 1..count-1, each text after the
/// first mentioning two random others around words that are no targets: every
/// mention links to its own name, never to another or a shorter one inside it.
void ExpectEachMentionLinked(const QString& first, const QString& pattern, const QString& noTargets, int count) {
    QStringList names{first};
    QStringList texts{u""_s};
    QStringList expected{u""_s};
    QRandomGenerator random(static_cast<quint32>(count));
    for (int i = 1; i < count; ++i) {
        names << pattern.arg(i);
    }
    const QString line = u" See %1 and (%2). "_s + noTargets + u"\r\n"_s;
    for (int i = 1; i < count; ++i) {
        const QString a = names[random.bounded(1, count)];
        const QString b = names[random.bounded(1, count)];
        texts << line.arg(a, b);
        const auto link = [&](const QString& name) { return name == names[i] ? name : u"@goto["_s + name + u"]"_s; };
        expected << line.arg(link(a), link(b));
    }
    const QStringList linked = LinkedTexts(names, texts);
    for (int i = 1; i < count; ++i) {
        ASSERT_EQ(linked[i], expected[i]) << i;
    }
}

// Thousands of names spread the table and the filter wide; names with one
// first word and lengths from one to four digits share one entry.
TEST(SectionLinker, ThousandsOfNamesLinkEachMention) {
    // The first section's name is never a target; "item_12x" and "Open Files" are no names.
    ExpectEachMentionLinked(u"item_0"_s, u"item_%1"_s, u"item_0 item_12x"_s, 5000);
    ExpectEachMentionLinked(u"Intro"_s, u"Open File %1"_s, u"Open File 12x Open Files"_s, 3000);
}

// Names sharing a first word are found through the word and then by length:
// every length must be tried, a text that holds only the start of a longer
// name must stop the search without losing shorter names, and the same
// characters read with another first word ("Open." before "Open") must not
// be taken for a name of this one.
TEST(CrossReferences, NamesSharingAFirstWordGiveTheLiteralResults) {
    const QString longName = u"Open File 1 x with a name long enough to pass several steps"_s;
    const QStringList names = {
        u"Open"_s,         u"Open File"_s,       u"Open File 1"_s,
        u"Open File 12"_s, u"Open File 1 x"_s,   u"Open Files"_s,
        longName,          longName + u" too"_s, u"Open File 1 x with a name long enough to pass several stops"_s,
        u"Open. File"_s,   u"Open(x) File"_s,    u"Open  File"_s,
        u"Open File]"_s};
    // Pieces of the names cut anywhere, so that texts hold their starts too.
    QStringList pieces;
    for (const QString& name : names) {
        pieces << name << name << name.left(name.size() / 2) << name.left(name.size() - 1);
    }
    const QStringList glue = {u" "_s, u" "_s, u" "_s, u"\t"_s, u"\r\n"_s, u"("_s,
                              u")"_s, u"."_s, u","_s, u";"_s,  u"x"_s,    u"@goto["_s};
    QRandomGenerator random(31);
    int linkedRounds = 0;
    for (int round = 0; round < 1200; ++round) {
        QStringList roundNames{u"Intro"_s};
        QStringList texts;
        const int count = random.bounded(2, 10);
        for (int i = 1; i < count; ++i) {
            // Two rounds in three without the bracketed name, so the clean path runs.
            QString name = names[random.bounded(names.size())];
            while (round % 3 != 0 && name.contains(u']')) {
                name = names[random.bounded(names.size())];
            }
            roundNames << name;
        }
        for (int i = 0; i < count; ++i) {
            QString text = u" "_s;
            const int parts = random.bounded(0, 40);
            for (int k = 0; k < parts; ++k) {
                text +=
                    random.bounded(2) == 0 ? pieces[random.bounded(pieces.size())] : glue[random.bounded(glue.size())];
            }
            texts << text;
        }
        const int linked = LinkedLikeLiteral(roundNames, texts);
        ASSERT_GE(linked, 0);
        const bool changed = linked > 0;
        linkedRounds += changed ? 1 : 0;
    }
    EXPECT_GT(linkedRounds, 600);
}

}  // namespace
