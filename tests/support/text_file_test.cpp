#include "support/text_file.h"
#include "support/string_functions.h"
#include "testing.h"

#include <QDir>
#include <QFile>

#include <random>

#include <gtest/gtest.h>

namespace tessarel {
namespace {

using namespace Qt::Literals::StringLiterals;
using testing::ReadBytes;
using testing::TestEnvironment;
using testing::WriteBytes;

TEST(TextFiles, DecodeUtf8OrWindows1252) {
    EXPECT_EQ(DecodeText("\xEF\xBB\xBFna\xC3\xAFve"), QStringLiteral("na\u00EFve"));
    // Not valid UTF-8: every byte is one Windows-1252 character.
    EXPECT_EQ(DecodeText("caf\xE9 \x80 \x93"), QStringLiteral("caf\u00E9 \u20AC \u201C"));
    const QByteArray withNul("a\0b", 3);
    EXPECT_EQ(DecodeText(withNul).size(), 3);
    // Appended behind what the text holds, in the room reserved for it; a
    // Windows-1252 file keeps its BOM bytes as characters.
    QString text = QStringLiteral("\r\n");
    text.reserve(64);
    const QChar* buffer = text.constData();
    AppendDecodedText(text, "\xEF\xBB\xBF\xF0\x9F\x98\x80x");
    EXPECT_EQ(text, QStringLiteral("\r\n\U0001F600x"));
    AppendDecodedText(text, "\xEF\xBB\xBF\x93");
    EXPECT_EQ(text, QStringLiteral("\r\n\U0001F600x\u00EF\u00BB\u00BF\u201C"));
    EXPECT_EQ(text.constData(), buffer);
}

TEST(TextFiles, DecodeUtf16WithItsByteOrderMark) {
    const QString text = u"caf\u00E9 \U0001F600 \uFEFF\r\n"_s;
    QByteArray little("\xFF\xFE");
    QByteArray big("\xFE\xFF");
    for (const QChar c : text) {
        const char low = static_cast<char>(c.unicode() & 0xFF);
        const char high = static_cast<char>(c.unicode() >> 8);
        little.append(low).append(high);
        big.append(high).append(low);
    }
    // The mark goes; a second one is the text's own character and stays.
    EXPECT_EQ(DecodeText(little), text);
    EXPECT_EQ(DecodeText(big), text);
    QString appended = u"\r\n"_s;
    AppendDecodedText(appended, little);
    EXPECT_EQ(appended, u"\r\n"_s + text);
    // An odd last byte cannot be a character.
    EXPECT_EQ(DecodeText(QByteArray("\xFF\xFE"
                                    "a\0b",
                                    5)),
              u"a\uFFFD"_s);
    // Without the mark, UTF-16 bytes are not guessed at.
    EXPECT_EQ(DecodeText(QByteArray("a\0", 2)), QString(u"a"_s + QChar(u'\0')));
}

TEST(TextFiles, DecodedLinesAreTheDecodedTextWithBareLineFeedsWidened) {
    // Long runs of ASCII go sixteen bytes at a time, other bytes to the
    // library's decoder: byte-order marks anywhere, sequences cut by a line
    // feed, bytes that are no UTF-8, UTF-16 marks, CR LF, a lone CR.
    const QList<QByteArray> pieces = {"a",        "0123456789abcdefghij", "\n",           "\r",       "\r\n",
                                      "\xC3\xAF", "\xF0\x9F\x98\x80",     "\xEF\xBB\xBF", "\xE2\x82", "\x80",
                                      "\x93",     QByteArray("\0", 1),    "\xFF\xFE",     "\xFE\xFF", " "};
    std::mt19937 random(15);
    for (int round = 0; round < 20000; ++round) {
        QByteArray bytes;
        const int count = static_cast<int>(random() % 24);
        for (int k = 0; k < count; ++k) {
            bytes += pieces[static_cast<qsizetype>(random() % pieces.size())];
        }
        // As the parse did it: decode, then widen when no CR LF came of it.
        QString expected = u"\r\n"_s;
        AppendDecodedText(expected, bytes);
        if (!expected.sliced(2).contains(u"\r\n"_s)) {
            ExpandLineFeeds(expected, 2);
        }
        QString lines = u"\r\n"_s;
        AppendDecodedLines(lines, bytes);
        ASSERT_EQ(lines, expected) << bytes.toHex().toStdString();
    }
}

TEST(TextFiles, WriteAddsOneLineEndAndReadGivesItBack) {
    TestEnvironment t;
    const QString path = t.path(QStringLiteral("page.htm"));
    ASSERT_TRUE(WriteTextFile(t.ui, path, QStringLiteral("<html>\u00E9")));
    EXPECT_EQ(ReadBytes(path), QByteArray("<html>\xE9\r\n"));
    EXPECT_EQ(ReadTextFile(path), QStringLiteral("<html>\u00E9\r\n"));
    ASSERT_TRUE(AppendTextFile(path, QStringLiteral("more")));
    EXPECT_EQ(ReadBytes(path), QByteArray("<html>\xE9\r\nmore\r\n"));
    EXPECT_EQ(ReadTextFile(QStringLiteral("/nonexistent/x.c")), QString());
    EXPECT_TRUE(t.ui.messages.empty());
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".tessarel-new")));
}

/// Latin-1 with references, one character at a time: what a page's bytes must be.
QByteArray Latin1ByHand(const QString& text) {
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        char32_t code = unit;
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            code = QChar::surrogateToUcs4(unit, text.at(++i).unicode());
        } else if (QChar::isSurrogate(unit)) {
            code = 0xFFFD;
        }
        if (code < 0x100) {
            bytes += static_cast<char>(code);
        } else {
            bytes += "&#" + QByteArray::number(static_cast<quint32>(code)) + ';';
        }
    }
    return bytes;
}

/// Latin-1 runs of every length around the encoder's blocks of eight, broken by
/// wide characters, pairs and lone surrogates.
QString MixedText(std::mt19937& random, int length) {
    const QString pieces[] = {QStringLiteral("a"),      QStringLiteral("\u00E9"), QStringLiteral("\u00FF"),
                              QStringLiteral("\u0100"), QStringLiteral("\u20AC"), QStringLiteral("\U0001F600"),
                              QString(QChar(0xD83D)),   QString(QChar(0xDE00)),   QStringLiteral("\r\n"),
                              QStringLiteral("abcdefg")};
    std::uniform_int_distribution<size_t> pick(0, std::size(pieces) - 1);
    QString text;
    while (text.size() < length) {
        text += pieces[pick(random)];
    }
    return text;
}

TEST(TextFileWriter, anySplitIntoPiecesGivesTheBytesOfTheWholeText) {
    TestEnvironment t;
    const QString path = t.path(QStringLiteral("pieces.htm"));
    std::mt19937 random(77);
    for (int round = 0; round < 300; ++round) {
        const QString text = MixedText(random, round % 50 == 0 ? 300000 : 60);
        std::uniform_int_distribution<qsizetype> cut(0, text.size());
        qsizetype cuts[] = {cut(random), cut(random), cut(random), cut(random)};
        std::sort(std::begin(cuts), std::end(cuts));
        for (const FileEncoding encoding : {FileEncoding::Latin1WithReferences, FileEncoding::Utf8}) {
            TextFileWriter file(path, encoding);
            ASSERT_TRUE(file.open());
            // Some pieces go on a new line, which may split a pair or follow a held-back half.
            QString whole;
            qsizetype from = 0;
            for (int k = 0; k < 5; ++k) {
                const qsizetype to = k < 4 ? cuts[k] : text.size();
                const QStringView piece = QStringView(text).sliced(from, to - from);
                if ((round + k) % 3 == 0) {
                    file.writeOnNewLine(piece);
                    whole += kCrLf;
                } else {
                    file.write(piece);
                }
                whole += piece;
                from = to;
            }
            ASSERT_TRUE(file.finish(t.ui));
            const QByteArray expected =
                encoding == FileEncoding::Utf8 ? (whole + kCrLf).toUtf8() : Latin1ByHand(whole) + "\r\n";
            ASSERT_EQ(ReadBytes(path), expected) << round;
        }
    }
    EXPECT_TRUE(t.ui.messages.empty());
}

TEST(TextFileWriter, anOldFileStaysUntilTheNewOneIsCompleteAndAnAbandonedOneLeavesNoTrace) {
    TestEnvironment t;
    const QString path = t.path(QStringLiteral("page.htm"));
    WriteBytes(path, "old page");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    {
        TextFileWriter file(path);
        ASSERT_TRUE(file.open());
        file.write(QStringLiteral("half a page"));
        EXPECT_EQ(ReadBytes(path), QByteArray("old page"));
    }
    EXPECT_EQ(ReadBytes(path), QByteArray("old page"));
    EXPECT_EQ(QDir(t.path(QString())).entryList(QDir::Files), QStringList{QStringLiteral("page.htm")});

    TextFileWriter file(path);
    ASSERT_TRUE(file.open());
    file.write(QStringLiteral("new "));
    file.write(QStringLiteral("page"));
    EXPECT_TRUE(file.finish(t.ui));
    EXPECT_EQ(ReadBytes(path), QByteArray("new page\r\n"));
    EXPECT_EQ(QFile::permissions(path) & QFileDevice::ReadOther, QFileDevice::ReadOther);
    EXPECT_EQ(QDir(t.path(QString())).entryList(QDir::Files), QStringList{QStringLiteral("page.htm")});
    EXPECT_TRUE(t.ui.messages.empty());
}

TEST(TextFileWriter, aTargetThatCannotBeWrittenIsToldOnceAtTheEnd) {
    TestEnvironment t;
    const QString path = t.path(QStringLiteral("locked.htm"));
    WriteBytes(path, "good");
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    TextFileWriter file(path);
    EXPECT_FALSE(file.open());
    file.write(QStringLiteral("bad"));
    EXPECT_TRUE(t.ui.messages.empty());
    EXPECT_FALSE(file.finish(t.ui));
    EXPECT_FALSE(file.finish(t.ui));
    EXPECT_EQ(ReadBytes(path), QByteArray("good"));
    ASSERT_EQ(t.ui.messages.size(), 1u);
    EXPECT_EQ(t.ui.messages[0].title, QStringLiteral("Read only file"));
}

// A name near the file system's limit leaves no room for the usual suffix of
// the file written beside it.
TEST(TextFiles, aFileWithAVeryLongNameCanBeReplaced) {
    TestEnvironment t;
    const QString path = t.path(QString(250, u'n') + u".htm"_s);
    ASSERT_TRUE(WriteTextFile(t.ui, path, u"first"_s));
    ASSERT_TRUE(WriteTextFile(t.ui, path, u"second"_s));
    EXPECT_EQ(ReadBytes(path), QByteArray("second\r\n"));
    EXPECT_TRUE(t.ui.messages.empty());
    EXPECT_EQ(QDir(t.root.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

}  // namespace
}  // namespace tessarel
