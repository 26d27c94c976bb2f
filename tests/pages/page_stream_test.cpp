#include "extract/document_model.h"
#include "pages/chapter_page.h"
#include "pages/page_frame.h"
#include "support/settings.h"
#include "support/string_functions.h"
#include "support/testing.h"
#include "support/text_file.h"

#include <QFile>

#include <gtest/gtest.h>

namespace tessarel {
namespace {

using namespace Qt::Literals::StringLiterals;
using testing::ReadBytes;
using testing::TestEnvironment;
using testing::WriteBytes;

/// A chapter long enough to reach its file in several pieces, with tags to
/// translate, characters beyond Latin-1 and declarations to link; with
/// `longText`, one text and the chapter's introduction longer than a piece
/// and one text of blanks.
DocumentModel LongChapter(const QString& source, bool longText = false) {
    DocumentModel doc;
    doc.SourceFilePath = source;
    doc.Sections = {SectionRecord{0, u"Long @bchapter@/b"_s, u"About it AT#$#$ all."_s, {}}};
    for (int i = 0; i < 400; ++i) {
        const QString name = u"item_"_s + QString::number(i);
        QString text = u"Reads @r the "_s + name + u". See @goto[item_"_s + QString::number((i * 7) % 400) +
                       u"] and @link[http://example.org/"_s + name + u", notes] or https://example.org/x; \u20AC "_s +
                       u"\U0001F600 @n"_s;
        text += u" filler words for the section."_s.repeated(i % 9);
        doc.Sections.push_back(
            {i + 2, name, text, i % 5 == 0 ? QString() : u"int "_s + name + u"(int a, long item_3)"_s});
    }
    if (longText) {
        // A text of blanks alone shows nothing, in the summary or below.
        doc.Sections[4].Text = u"   "_s;
        for (const size_t k : {size_t{0}, size_t{8}}) {
            QString& text = doc.Sections[k].Text;
            while (text.size() < 100000) {
                text += u"@b \u20AC\U0001F600 @/b x. "_s;
            }
        }
    }
    return doc;
}

/// The page written to a target that cannot be opened (so built whole in the
/// page buffer) against the same page streamed to a writable file.
/// With `release` the streamed page gives up the model's texts as it goes.
void ExpectStreamedPageEqualsWholePage(ChapterOverview overview, bool release, bool longText) {
    TestEnvironment t;
    const QString source = t.path(u"src/long.c"_s);
    WriteBytes(source, "/* long */");
    Settings settings;
    settings.Overview = overview;
    const PageStyle style{u"s"_s, u"body { }"_s, true};
    const QDateTime generatedAt(QDate(2004, 3, 7), QTime(14, 5, 9));

    const QString pagePath = source + u".htm"_s;
    PageBuffer wholePage;
    DocumentModel locked = LongChapter(source, longText);
    WriteBytes(pagePath, "old");
    QFile::setPermissions(pagePath, QFileDevice::ReadOwner);
    ChapterPageContext refused{t.ui, wholePage, style, settings, pagePath, generatedAt};
    EXPECT_FALSE(WriteChapterPage(refused, locked));
    ASSERT_EQ(t.ui.messages.size(), 1u);
    EXPECT_EQ(t.ui.messages[0].title, u"Read only file"_s);
    EXPECT_EQ(ReadBytes(pagePath), QByteArray("old"));
    ASSERT_TRUE(wholePage.PageText.endsWith(u"</html>\r\n"_s));
    ASSERT_GT(wholePage.PageText.size(), 3 * 65536);

    QFile::setPermissions(pagePath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    PageBuffer streamedPage;
    DocumentModel doc = LongChapter(source, longText);
    ChapterPageContext written{t.ui, streamedPage, style, settings, pagePath, generatedAt};
    written.releaseTexts = release;
    EXPECT_TRUE(WriteChapterPage(written, doc));
    EXPECT_EQ(t.ui.messages.size(), 1u);
    EXPECT_EQ(streamedPage.file, nullptr);
    // Only the last lines stayed in the buffer.
    EXPECT_LT(streamedPage.PageText.size(), wholePage.PageText.size() / 2);
    const QByteArray expected = EncodeText(wholePage.PageText + kCrLf, FileEncoding::Latin1WithReferences);
    EXPECT_EQ(ReadBytes(pagePath), expected);
    // Both leave the model's names cleaned alike; only a released model loses its texts.
    ASSERT_EQ(doc.count(), locked.count());
    for (int i = 0; i < doc.count(); ++i) {
        EXPECT_EQ(doc.section(i).Name, locked.section(i).Name);
        EXPECT_EQ(doc.section(i).Declaration, locked.section(i).Declaration);
        EXPECT_EQ(doc.section(i).Text.isEmpty(), release || locked.section(i).Text.isEmpty()) << i;
    }
}

// Lines longer than a piece go to the file past the buffer, between the
// pieces around them; texts given up as they are written change nothing.
TEST(PageStream, aLongPageIsWrittenAsIfBuiltWhole) {
    for (ChapterOverview overview : {ChapterOverview::Summary, ChapterOverview::Contents, ChapterOverview::None}) {
        SCOPED_TRACE(static_cast<int>(overview));
        ExpectStreamedPageEqualsWholePage(overview, false, false);
        ExpectStreamedPageEqualsWholePage(overview, false, true);
        ExpectStreamedPageEqualsWholePage(overview, true, true);
        ExpectStreamedPageEqualsWholePage(overview, true, false);
    }
}

TEST(PageStream, aPageBuiltWithoutStreamIsWrittenWholeAndTheBufferKeepsIt) {
    TestEnvironment t;
    const QString path = t.path(u"side.htm"_s);
    PageBuffer page;
    const PageStyle style{u"s"_s, QString(), true};
    WritePageHeader(page, style, u"Side"_s, u"class=Side"_s);
    AddLine(page, u"x"_s.repeated(70000));
    FlushPage(page);  // no stream: nothing leaves the buffer
    EXPECT_TRUE(page.PageText.contains(u"<title>"_s));
    EXPECT_TRUE(WritePageFooter(page, t.ui, path));
    EXPECT_EQ(ReadBytes(path), EncodeText(page.PageText + kCrLf, FileEncoding::Latin1WithReferences));
    {
        const PageStream stream(page, t.path(u"streamed.htm"_s));
        ASSERT_NE(page.file, nullptr);
    }
    // A stream given up before its footer leaves neither a file nor a stale pointer.
    EXPECT_EQ(page.file, nullptr);
    EXPECT_FALSE(QFile::exists(t.path(u"streamed.htm"_s)));
}

}  // namespace
}  // namespace tessarel
