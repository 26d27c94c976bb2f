#include "support/file_functions.h"
#include "support/string_functions.h"
#include "testing.h"

#include <QDir>
#include <QFile>

#include <random>

#include <gtest/gtest.h>

namespace tessarel {
namespace {

using testing::ReadBytes;
using testing::TestEnvironment;
using testing::WriteBytes;

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
            qsizetype from = 0;
            for (const qsizetype to : cuts) {
                file.write(QStringView(text).sliced(from, to - from));
                from = to;
            }
            file.write(QStringView(text).sliced(from));
            ASSERT_TRUE(file.finish(t.ui));
            const QByteArray expected =
                encoding == FileEncoding::Utf8 ? (text + kCrLf).toUtf8() : Latin1ByHand(text) + "\r\n";
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

}  // namespace
}  // namespace tessarel
