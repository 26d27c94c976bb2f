#include "extract/document_model.h"
#include "pages/declaration_linker.h"
#include "support/string_functions.h"

#include <QRandomGenerator>
#include <QStringList>

#include <gtest/gtest.h>

using namespace tessarel;

namespace {

// The plain rule: every other section's name, in section order, replaced as a
// whole word; empty names are skipped.
QString LinkEveryName(QString declaration, const std::vector<SectionRecord>& sections, int count, int self) {
    for (int j = 2; j <= count; ++j) {
        const QString& name = sections[static_cast<size_t>(j)].Name;
        if (j == self || name.isEmpty()) {
            continue;
        }
        ReplaceWordExtended(declaration, name,
                            QStringLiteral("<a HREF=\"#") + name + QStringLiteral("\">") + name + QStringLiteral("</a>"));
    }
    return declaration;
}

}  // namespace

TEST(DeclarationLinker, GivesWhatReplacingEveryNameGives) {
    const QStringList words{QStringLiteral("f"),        QStringLiteral("size"),     QStringLiteral("Item"),
                            QStringLiteral("Open File"), QStringLiteral("a*b"),     QStringLiteral("int"),
                            QStringLiteral("x(y"),       QStringLiteral("HREF"),    QStringLiteral("size,"),
                            QStringLiteral("item"),      QString(),                 QStringLiteral("a"),
                            // Longer names with breaks, one of them found only in an inserted link.
                            QStringLiteral("a HREF"),    QStringLiteral("File *")};
    const QStringList glue{QStringLiteral(" "),  QStringLiteral("\t"), QStringLiteral("\r\n"), QStringLiteral("\n"),
                           QStringLiteral("("),  QStringLiteral("*"),  QStringLiteral(", "),   QStringLiteral(")"),
                           QStringLiteral(" *"), QStringLiteral("")};
    QRandomGenerator random(20261206);
    int linked = 0;
    for (int round = 0; round < 400; ++round) {
        const int count = 2 + static_cast<int>(random.bounded(8));
        std::vector<SectionRecord> sections(static_cast<size_t>(count) + 1);
        for (int j = 1; j <= count; ++j) {
            sections[static_cast<size_t>(j)].Name = words.at(random.bounded(words.size()));
        }
        QString declaration;
        const int pieces = 1 + static_cast<int>(random.bounded(12));
        for (int k = 0; k < pieces; ++k) {
            declaration += glue.at(random.bounded(glue.size())) + words.at(random.bounded(words.size()));
        }
        declaration += glue.at(random.bounded(glue.size()));
        const int self = 2 + static_cast<int>(random.bounded(count - 1));
        QString fast = declaration;
        DeclarationLinker(sections, count).link(fast, self);
        const QString expected = LinkEveryName(declaration, sections, count, self);
        ASSERT_EQ(fast, expected) << "declaration: " << declaration.toStdString();
        linked += fast != declaration ? 1 : 0;
    }
    EXPECT_GT(linked, 100);  // the generator must actually produce links
}

// Many sections of few names: a name is tried again only while it still
// changes the text, and the result must not notice.
TEST(DeclarationLinker, SectionsOfOneNameGiveWhatReplacingEveryNameGives) {
    const QStringList words{QStringLiteral("f"), QStringLiteral("f"), QStringLiteral("Open File"),
                            QStringLiteral("<a"), QStringLiteral("g")};
    const QStringList glue{QStringLiteral(" "), QStringLiteral("("), QStringLiteral("*"), QStringLiteral(", "),
                           QStringLiteral("\t")};
    QRandomGenerator random(7);
    for (int round = 0; round < 400; ++round) {
        const int count = 2 + static_cast<int>(random.bounded(30));
        std::vector<SectionRecord> sections(static_cast<size_t>(count) + 1);
        for (int j = 1; j <= count; ++j) {
            sections[static_cast<size_t>(j)].Name = words.at(random.bounded(words.size()));
        }
        QString declaration;
        const int pieces = 1 + static_cast<int>(random.bounded(12));
        for (int k = 0; k < pieces; ++k) {
            declaration += glue.at(random.bounded(glue.size())) + words.at(random.bounded(words.size()));
        }
        declaration += glue.at(random.bounded(glue.size()));
        const int self = 2 + static_cast<int>(random.bounded(count - 1));
        QString fast = declaration;
        DeclarationLinker(sections, count).link(fast, self);
        ASSERT_EQ(fast, LinkEveryName(declaration, sections, count, self))
            << "declaration: " << declaration.toStdString();
    }
    // Neighbours share their blank: the second section of the name links what the first could not.
    std::vector<SectionRecord> sections(4);
    sections[2].Name = sections[3].Name = QStringLiteral("f");
    QString declaration = QStringLiteral(" f f ");
    DeclarationLinker(sections, 3).link(declaration, 1);
    EXPECT_EQ(declaration, QStringLiteral(" <a HREF=\"#f\">f</a> <a HREF=\"#f\">f</a> "));
}
