#include "project/tag_reader.h"

#include <gtest/gtest.h>

#include "support/testing.h"

using namespace Qt::Literals::StringLiterals;

using namespace tessarel;
using namespace tessarel::testing;

namespace {

TEST(TagReaderTest, collectsEveryOccurrenceUntouched) {
    RecordingUserInterface ui;
    TagReader reader(ui, TagReader::Form::Project);
    reader.setSource(
        QStringLiteral("<IndexTitle>t</IndexTitle><Title> a &amp; <b> </Title>\r\n"
                       "<Title></Title><Title>one\r\ntwo\r\nthree</Title>"));
    EXPECT_TRUE(reader.read(u"Title"_s));
    ASSERT_EQ(reader.count(), 3);
    EXPECT_EQ(reader.firstContent(), u" a &amp; <b> ");
    EXPECT_EQ(reader.content(1), u"");
    EXPECT_EQ(reader.content(2), u"one\r\ntwo\r\nthree");
    EXPECT_EQ(reader.content(3), u"Out of Range");
    EXPECT_EQ(reader.content(-1), u"Out of Range");

    EXPECT_TRUE(reader.read(u"Missing"_s));
    EXPECT_EQ(reader.count(), 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(TagReaderTest, unbalancedTags_areToldAndCountAsAbsent) {
    for (TagReader::Form form : {TagReader::Form::Project, TagReader::Form::Plain}) {
        RecordingUserInterface ui;
        TagReader reader(ui, form);
        // A closing tag before its opening one balances the counts but not the pairs.
        reader.setSource(u"<A>1</A><N>x</N><N>y <B></B></B><B>"_s);
        const std::pair<const char*, int> expected[] = {{"A", 1}, {"N", 0}, {"A", 1}, {"B", 0}};
        for (const auto& [name, count] : expected) {
            reader.read(QString::fromLatin1(name));
            EXPECT_EQ(reader.count(), count) << name;
        }
        ASSERT_EQ(ui.messages.size(), 2u);
        for (const auto& message : ui.messages) {
            EXPECT_EQ(message.title, u"XML file error");
            EXPECT_EQ(message.text, u"All tags must open and close properly.");
            EXPECT_EQ(message.buttons, MessageButtons::Ok);
            EXPECT_EQ(message.icon, form == TagReader::Form::Plain ? MessageIcon::Exclamation : MessageIcon::None);
        }
    }
}

TEST(TagReaderTest, readSingleTag_trimsBlanksAndNeedsBothTags) {
    const QString source = u"<State>2</State>\r\n  <Left>  1440 </Left><Top>7"_s;
    RecordingUserInterface ui;
    TagReader reader(ui, TagReader::Form::Plain);
    reader.setSource(source);
    reader.read(u"State"_s);
    EXPECT_EQ(reader.readSingleTag(u"Left"_s), u"1440");
    EXPECT_EQ(reader.count(), 1);
    EXPECT_EQ(ReadSingleTag(source, u"State"_s), u"2");
    EXPECT_EQ(ReadSingleTag(source, u"Top"_s), u"");
    EXPECT_EQ(ReadSingleTag(source, u"left"_s), u"");
}

}  // namespace
