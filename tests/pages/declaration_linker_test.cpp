#include "extract/document_model.h"
#include "pages/chapter_page.h"
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
                            QStringLiteral("item"),      QString(),                 QStringLiteral("a")};
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
