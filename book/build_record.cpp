#include "book/build_record.h"

#include "pages/page_frame.h"
#include "support/file_read.h"
#include "support/paths.h"
#include "support/replacing_file.h"
#include "support/setting_table.h"
#include "support/settings.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QFile>
#include <QIODevice>
#include <QVarLengthArray>
#include <QtEndian>

#include <algorithm>

namespace tessarel {

namespace {

const QByteArray kMagic = QByteArrayLiteral("Tessarel build record\n");
/// Raised whenever the layout below or the meaning of a field changes.
constexpr quint32 kFormatVersion = 6;
constexpr int kDigestBytes = 8;
/// A source changed this recently may change again with the same size and time.
constexpr qint64 kSettleNs = qint64{2} * 1000000000;

QByteArray Checksum(QByteArrayView bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1); }

quint64 Mix(quint64 x) {
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    x ^= x >> 33;
    return x;
}

quint64 Lane(quint64 lane, quint64 word) {
    lane ^= word * 0x87c37b91114253d5ULL;
    lane = (lane << 31) | (lane >> 33);
    return lane * 0x4cf5ad432745937fULL;
}

void Corrupt(QDataStream& s) { s.setStatus(QDataStream::ReadCorruptData); }

/// What is left to read: no count read from the record may promise more.
qint64 BytesLeft(const QDataStream& s) { return s.device()->bytesAvailable(); }

// A chapter's texts are nearly always Latin-1, and they are most of a record:
// each is kept as one byte per character when it can be, else as UTF-16 (which,
// unlike UTF-8, keeps a lone surrogate as the page shows it). A header holds
// the length and, in its lowest bit, which of the two follows.
struct TextOut {
    const QString& text;
};
struct TextIn {
    QString& text;
};

QDataStream& operator<<(QDataStream& s, TextOut out) {
    const QString& text = out.text;
    if (text.size() > 0x3fffffff) {  // its bytes would pass what one write takes
        s.setStatus(QDataStream::WriteFailed);
        return s;
    }
    const bool wide = std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > 0xff; });
    s << ((quint32(text.size()) << 1) | quint32(wide));
    if (wide) {
        QVarLengthArray<char16_t, 256> units(text.size());
        qToLittleEndian<char16_t>(text.utf16(), text.size(), units.data());
        s.writeRawData(reinterpret_cast<const char*>(units.constData()), static_cast<int>(text.size() * 2));
    } else {
        const QByteArray bytes = text.toLatin1();
        s.writeRawData(bytes.constData(), static_cast<int>(bytes.size()));
    }
    return s;
}

QDataStream& operator>>(QDataStream& s, TextIn in) {
    quint32 header = 0;
    s >> header;
    const qint64 length = header >> 1;
    const bool wide = (header & 1) != 0;
    const qint64 bytes = wide ? length * 2 : length;
    if (s.status() != QDataStream::Ok || bytes > BytesLeft(s)) {
        Corrupt(s);
        return s;
    }
    if (wide) {
        in.text.resize(length);
        char16_t* units = reinterpret_cast<char16_t*>(in.text.data());
        s.readRawData(reinterpret_cast<char*>(units), static_cast<int>(bytes));
        qFromLittleEndian<char16_t>(units, length, units);
    } else {
        QVarLengthArray<char, 256> latin1(length);
        s.readRawData(latin1.data(), static_cast<int>(bytes));
        in.text = QString::fromLatin1(latin1.constData(), length);
    }
    return s;
}

template <typename List>
void WriteTexts(QDataStream& s, const List& texts) {
    s << quint32(texts.size());
    for (const QString& text : texts) {
        s << TextOut{text};
    }
}

/// A count is trusted only as far as the bytes left could hold its headers, so
/// a damaged record never makes the reader reserve more than the record holds.
template <typename List>
void ReadTexts(QDataStream& s, List& texts) {
    quint32 count = 0;
    s >> count;
    if (s.status() != QDataStream::Ok || qint64{count} > BytesLeft(s) / 4) {
        Corrupt(s);
        return;
    }
    texts.clear();
    texts.reserve(count);
    for (quint32 i = 0; i < count && s.status() == QDataStream::Ok; ++i) {
        QString text;
        s >> TextIn{text};
        texts.push_back(std::move(text));
    }
}

QDataStream& operator<<(QDataStream& s, const FileStamp& stamp) {
    return s << stamp.size << stamp.modifiedNs << stamp.changedNs << stamp.device << stamp.inode;
}
QDataStream& operator>>(QDataStream& s, FileStamp& stamp) {
    return s >> stamp.size >> stamp.modifiedNs >> stamp.changedNs >> stamp.device >> stamp.inode;
}

void WriteFiles(QDataStream& s, const WrittenFiles& files) {
    s << quint32(files.size());
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        s << TextOut{it.key()} << it->stamp << it->sourceCopy;
    }
}

void ReadFiles(QDataStream& s, WrittenFiles& files) {
    quint32 count = 0;
    s >> count;
    if (s.status() != QDataStream::Ok || qint64{count} > BytesLeft(s) / 4) {
        Corrupt(s);
        return;
    }
    for (quint32 i = 0; i < count && s.status() == QDataStream::Ok; ++i) {
        QString name;
        WrittenFile file;
        s >> TextIn{name} >> file.stamp >> file.sourceCopy;
        files.insert(name, file);
    }
}

QDataStream& operator<<(QDataStream& s, const ChapterNote& n) {
    return s << qint32(n.kind) << TextOut{n.reason} << TextOut{n.item} << qint32(n.status) << TextOut{n.title}
             << TextOut{n.output} << TextOut{n.text} << qint32(n.icon) << qint32(n.buttons);
}

QDataStream& operator>>(QDataStream& s, ChapterNote& n) {
    qint32 kind = 0;
    qint32 status = 0;
    qint32 icon = 0;
    qint32 buttons = 0;
    s >> kind >> TextIn{n.reason} >> TextIn{n.item} >> status >> TextIn{n.title} >> TextIn{n.output} >>
        TextIn{n.text} >> icon >> buttons;
    if (kind < 0 || kind > qint32(ChapterNote::Kind::LogText) || status < 0 || status > qint32(RowStatus::Failed)) {
        Corrupt(s);
    }
    n.status = static_cast<RowStatus>(status);
    n.kind = static_cast<ChapterNote::Kind>(kind);
    n.icon = static_cast<MessageIcon>(icon);
    n.buttons = static_cast<MessageButtons>(buttons);
    return s;
}

void WriteNotes(QDataStream& s, const std::vector<ChapterNote>& notes) {
    s << quint32(notes.size());
    for (const ChapterNote& note : notes) {
        s << note;
    }
}

/// At most `most` notes: a count beyond it is a damaged record.
void ReadNotes(QDataStream& s, std::vector<ChapterNote>& notes, quint32 most) {
    quint32 count = 0;
    s >> count;
    if (s.status() != QDataStream::Ok || count > most) {
        Corrupt(s);
        return;
    }
    for (quint32 i = 0; i < count && s.status() == QDataStream::Ok; ++i) {
        ChapterNote note;
        s >> note;
        notes.push_back(std::move(note));
    }
}

QDataStream& operator<<(QDataStream& s, const ChapterFiles& f) {
    return s << TextOut{f.source} << f.sourceStamp << f.stampTrusted << f.sourceDigest << TextOut{f.page}
             << f.pageStamp;
}

QDataStream& operator>>(QDataStream& s, ChapterFiles& f) {
    return s >> TextIn{f.source} >> f.sourceStamp >> f.stampTrusted >> f.sourceDigest >> TextIn{f.page} >> f.pageStamp;
}

QDataStream& operator<<(QDataStream& s, const SearchChapter& search) {
    s << TextOut{search.page} << TextOut{search.line} << quint32(search.snippetSections.size());
    for (const qint32 section : search.snippetSections) {
        s << section;
    }
    return s;
}

/// A line takes one section number per NUL, each a section the chapter has.
void ReadSearch(QDataStream& s, SearchChapter& search, int sections) {
    quint32 count = 0;
    s >> TextIn{search.page} >> TextIn{search.line} >> count;
    if (s.status() != QDataStream::Ok || qint64{count} > BytesLeft(s) / 4 ||
        search.line.count(QChar(0)) != qsizetype{count}) {
        Corrupt(s);
        return;
    }
    search.snippetSections.resize(count);
    for (qint32& section : search.snippetSections) {
        s >> section;
        if (section < 1 || section > sections) {
            Corrupt(s);
            return;
        }
    }
}

/// Only results with their files are recorded: a chapter whose page was written.
QDataStream& operator<<(QDataStream& s, const ChapterResult& r) {
    s << r.failed << qint32(r.sections) << r.documented << TextOut{r.title};
    WriteTexts(s, r.sectionNames);
    WriteTexts(s, r.snippets);
    WriteNotes(s, r.notes);
    return s << r.search << *r.files;
}

QDataStream& operator>>(QDataStream& s, ChapterResult& r) {
    qint32 sections = 0;
    quint32 notes = 0;
    s >> r.failed >> sections >> r.documented >> TextIn{r.title};
    ReadTexts(s, r.sectionNames);
    ReadTexts(s, r.snippets);
    s >> notes;
    r.sections = sections;
    // The lists name sections 2..sections: anything else would list what the page lacks.
    if (sections < 0 || (sections > 0 && r.sectionNames.size() != sections - 1) || notes > 1000) {
        Corrupt(s);
        return s;
    }
    for (quint32 i = 0; i < notes && s.status() == QDataStream::Ok; ++i) {
        ChapterNote note;
        s >> note;
        r.notes.push_back(std::move(note));
    }
    ReadSearch(s, r.search, sections);
    ChapterFiles files;
    s >> files;
    r.files = std::move(files);
    return s;
}

QDataStream& operator<<(QDataStream& s, const BookTexts& book) {
    s << book.inputs << TextOut{book.homePage} << book.helpPages << book.helpPageBytes << quint32(book.files.size());
    for (const auto& [name, stamp] : book.files) {
        s << TextOut{name} << stamp;
    }
    WriteNotes(s, book.notes);
    return s;
}

QDataStream& operator>>(QDataStream& s, BookTexts& book) {
    quint32 files = 0;
    s >> book.inputs >> TextIn{book.homePage} >> book.helpPages >> book.helpPageBytes >> files;
    if (s.status() != QDataStream::Ok || qint64{files} > BytesLeft(s) / 4) {
        Corrupt(s);
        return s;
    }
    for (quint32 i = 0; i < files && s.status() == QDataStream::Ok; ++i) {
        std::pair<QString, FileStamp> file;
        s >> TextIn{file.first} >> file.second;
        book.files.push_back(std::move(file));
    }
    ReadNotes(s, book.notes, 1000);
    return s;
}

void SetStreamVersion(QDataStream& stream) { stream.setVersion(QDataStream::Qt_6_0); }

}  // namespace

QByteArray BuildRecordChecksum(QByteArrayView bytes) {
    // Two lanes of words, so the multiplications overlap; the tail and the length close it.
    quint64 a = 0x9e3779b97f4a7c15ULL;
    quint64 b = 0x6a09e667f3bcc909ULL ^ quint64(bytes.size());
    const char* p = bytes.data();
    qsizetype left = bytes.size();
    for (; left >= 16; p += 16, left -= 16) {
        a = Lane(a, qFromLittleEndian<quint64>(p));
        b = Lane(b, qFromLittleEndian<quint64>(p + 8));
    }
    char tail[16] = {};
    std::copy(p, p + left, tail);
    a = Lane(a, qFromLittleEndian<quint64>(tail));
    b = Lane(b, qFromLittleEndian<quint64>(tail + 8));
    const quint64 sum = Mix(Mix(a) + b) ^ Mix(b + quint64(left));
    QByteArray out(kDigestBytes, Qt::Uninitialized);
    qToLittleEndian<quint64>(sum, out.data());
    return out;
}

QString BuildRecordPath(const QString& cacheFolder, const QString& projectPath, const QString& destination) {
    const QByteArray key = projectPath.toUtf8() + '\0' + destination.toUtf8();
    return cacheFolder + QStringLiteral("builds") + PathSeparator() + QString::fromLatin1(Checksum(key).toHex()) +
           QStringLiteral(".record");
}

std::optional<BuildRecord> ReadBuildRecord(const QString& path, const QString& projectPath, const QString& destination,
                                           qint64 limit) {
    QByteArray bytes;
    if (!ReadRegularFile(path, bytes, limit).ok() || bytes.size() < kMagic.size() + kDigestBytes ||
        !bytes.startsWith(kMagic)) {
        return std::nullopt;
    }
    const QByteArrayView body = QByteArrayView(bytes).first(bytes.size() - kDigestBytes);
    if (BuildRecordChecksum(body) != QByteArrayView(bytes).last(kDigestBytes)) {
        return std::nullopt;
    }
    // Read in place: a copy of a record of megabytes would cost as much again.
    const QByteArrayView payloadView = body.sliced(kMagic.size());
    const QByteArray payload = QByteArray::fromRawData(payloadView.data(), payloadView.size());
    QDataStream in(payload);
    SetStreamVersion(in);
    quint32 version = 0;
    in >> version;
    if (version != kFormatVersion) {
        return std::nullopt;
    }
    BuildRecord record;
    quint32 count = 0;
    in >> record.projectPath >> record.destination >> record.pageInputs >> count;
    if (in.status() != QDataStream::Ok || record.projectPath != projectPath || record.destination != destination) {
        return std::nullopt;
    }
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        ChapterResult chapter;
        in >> chapter;
        const QString source = chapter.files->source;
        record.chapters.emplace(source, std::move(chapter));
    }
    in >> record.helpInputs >> record.compiledStamp >> record.compileOutput >> record.compileSuccess;
    ReadFiles(in, record.bookFiles);
    in >> record.book;
    if (in.status() != QDataStream::Ok || !in.atEnd() || record.chapters.size() != static_cast<qsizetype>(count)) {
        return std::nullopt;
    }
    return record;
}

RecordWrite WriteBuildRecord(const QString& path, const BuildRecord& record, qint64 limit) {
    // The payload goes right after the magic line: a record of megabytes is not copied.
    QByteArray bytes = kMagic;
    bool whole = false;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly | QIODevice::Append);
        SetStreamVersion(out);
        out << kFormatVersion << record.projectPath << record.destination << record.pageInputs
            << quint32(record.chapters.size());
        for (const ChapterResult& chapter : record.chapters) {
            out << chapter;
        }
        out << record.helpInputs << record.compiledStamp << record.compileOutput << record.compileSuccess;
        WriteFiles(out, record.bookFiles);
        out << record.book;
        whole = out.status() == QDataStream::Ok;
    }
    if (!whole || bytes.size() + kDigestBytes > limit) {
        // An older record left in its place would speak for pages it never saw.
        QFile::remove(path);
        return RecordWrite::TooLarge;
    }
    bytes += BuildRecordChecksum(bytes);
    QString failure;
    if (!MakeFolders(FolderOf(path), failure)) {
        return RecordWrite::Failed;
    }
    ReplacingFile file(path);
    return file.open() && file.write(bytes) && file.commit() ? RecordWrite::Written : RecordWrite::Failed;
}

QByteArray PageInputsDigest(const Settings& settings, const PageStyle& style, const QString& generatedAtText,
                            const QStringList& neighbours) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    SetStreamVersion(out);
    out << kFormatVersion << QByteArrayLiteral(TESSAREL_VERSION) << QByteArray(qVersion());
    // Every setting that can shape a built file, even those only the book pages
    // read: a changed setting is rare, and a page that missed one would be wrong.
    for (const SettingRow& row : kSettingTable) {
        if (!row.shapesPages) {
            continue;
        }
        std::visit(Overloaded{
                       [&](bool Settings::*flag) { out << settings.*flag; },
                       [&](QString Settings::*text) { out << settings.*text; },
                       [&](ChapterOverview Settings::*overview) { out << qint32(settings.*overview); },
                       [&](CommentLines lines) { out << qint32(CommentBits(settings.comments, lines)); },
                   },
                   row.field);
    }
    out << style.name << style.text << style.embedded << generatedAtText;
    if (!neighbours.isEmpty()) {
        out << neighbours;
    }
    return Checksum(bytes);
}

bool StampSettled(const FileStamp& stamp, qint64 nowNs) {
    return stamp.known() && stamp.lastChangeNs() <= nowNs - kSettleNs;
}

}  // namespace tessarel
