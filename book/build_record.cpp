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
#include <QtEndian>

#include <algorithm>
#include <cstring>

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

/// The check a record ends with, made as its bytes go by: two lanes of words,
/// so the multiplications overlap; the tail and the length close it.
class RecordCheck {
public:
    void add(QByteArrayView bytes) {
        total_ += bytes.size();
        const char* p = bytes.data();
        qsizetype left = bytes.size();
        if (carried_ > 0) {
            const qsizetype take = std::min<qsizetype>(16 - carried_, left);
            std::copy(p, p + take, carry_ + carried_);
            carried_ += take;
            p += take;
            left -= take;
            if (carried_ < 16) {
                return;
            }
            block(carry_);
            carried_ = 0;
        }
        for (; left >= 16; p += 16, left -= 16) {
            block(p);
        }
        std::copy(p, p + left, carry_);
        carried_ = left;
    }
    QByteArray result() const {
        char tail[16] = {};
        std::copy(carry_, carry_ + carried_, tail);
        const quint64 a = Lane(a_, qFromLittleEndian<quint64>(tail));
        const quint64 b = Lane(b_, qFromLittleEndian<quint64>(tail + 8));
        const quint64 sum = Mix(Mix(a) + b) ^ Mix(b + quint64(total_));
        QByteArray out(kDigestBytes, Qt::Uninitialized);
        qToLittleEndian<quint64>(sum, out.data());
        return out;
    }

private:
    void block(const char* p) {
        a_ = Lane(a_, qFromLittleEndian<quint64>(p));
        b_ = Lane(b_, qFromLittleEndian<quint64>(p + 8));
    }

    quint64 a_ = 0x9e3779b97f4a7c15ULL;
    quint64 b_ = 0x6a09e667f3bcc909ULL;
    char carry_[16] = {};
    qsizetype carried_ = 0;
    qint64 total_ = 0;
};

/// The record's bytes as they are written: numbers little-endian, into a
/// buffer that goes to the file a piece at a time (`spill`), so a record of
/// megabytes is never held whole beside the results it is made of.
class RecordOut {
public:
    RecordOut(ReplacingFile& file, qint64 limit) : file_(file), limit_(limit) {}

    /// Sends the buffer on once it holds a piece.
    void spill() {
        if (bytes_.size() >= kPiece) {
            flush();
        }
    }
    /// Sends the rest and the check: Written, or TooLarge when the record
    /// would pass the limit or holds a text too long for its header.
    RecordWrite finish() {
        flush();
        if (failed_ || written_ + kDigestBytes > limit_) {
            return RecordWrite::TooLarge;
        }
        file_.write(check_.result());
        return RecordWrite::Written;
    }

    void u32(quint32 value) { number(value); }
    void i32(qint32 value) { number(value); }
    void i64(qint64 value) { number(value); }
    void u64(quint64 value) { number(value); }
    void flag(bool value) { bytes_.append(value ? '\1' : '\0'); }
    void raw(const QByteArray& value) { bytes_.append(value); }
    void bytes(const QByteArray& value) {
        u32(quint32(value.size()));
        bytes_.append(value);
    }
    // A chapter's texts are nearly always Latin-1, and they are most of a record:
    // each is kept as one byte per character when it can be, else as UTF-16 (which,
    // unlike UTF-8, keeps a lone surrogate as the page shows it). A header holds
    // the length and, in its lowest bit, which of the two follows.
    void text(const QString& value) {
        const qsizetype size = value.size();
        if (size > 0x3fffffff) {  // its length would not fit the header
            failed_ = true;
            return;
        }
        const char16_t* units = reinterpret_cast<const char16_t*>(value.utf16());
        const bool wide = std::any_of(units, units + size, [](char16_t c) { return c > 0xff; });
        u32((quint32(size) << 1) | quint32(wide));
        const qsizetype at = bytes_.size();
        if (wide) {
            bytes_.resize(at + size * 2);
            qToLittleEndian<char16_t>(units, size, bytes_.data() + at);
        } else {
            bytes_.resize(at + size);
            char* out = bytes_.data() + at;
            for (qsizetype i = 0; i < size; ++i) {
                out[i] = static_cast<char>(units[i]);
            }
        }
    }
    template <typename List>
    void texts(const List& values) {
        u32(quint32(values.size()));
        for (const QString& value : values) {
            text(value);
        }
    }
    void stamp(const FileStamp& value) {
        i64(value.size);
        i64(value.modifiedNs);
        i64(value.changedNs);
        u64(value.device);
        u64(value.inode);
    }

private:
    static constexpr qsizetype kPiece = qsizetype{1} << 20;

    template <typename T>
    void number(T value) {
        char out[sizeof(T)];
        qToLittleEndian<T>(value, out);
        bytes_.append(out, sizeof(T));
    }
    void flush() {
        check_.add(bytes_);
        written_ += bytes_.size();
        // Past the limit nothing more is written: the file is never committed.
        if (written_ + kDigestBytes <= limit_) {
            file_.write(bytes_);
        }
        bytes_.resize(0);
    }

    ReplacingFile& file_;
    const qint64 limit_;
    QByteArray bytes_;
    RecordCheck check_;
    qint64 written_ = 0;
    bool failed_ = false;
};

/// Reads what RecordOut wrote. Any read past the end, or any count the bytes
/// left could not hold, makes it fail and every later read give nothing.
class RecordIn {
public:
    explicit RecordIn(QByteArrayView bytes) : at_(bytes.data()), end_(bytes.data() + bytes.size()) {}

    bool ok() const { return ok_; }
    bool atEnd() const { return at_ == end_; }
    void fail() {
        ok_ = false;
        at_ = end_;
    }
    qint64 left() const { return end_ - at_; }
    const char* position() const { return at_; }

    quint32 u32() { return number<quint32>(); }
    qint32 i32() { return number<qint32>(); }
    qint64 i64() { return number<qint64>(); }
    quint64 u64() { return number<quint64>(); }
    bool flag() {
        if (left() < 1) {
            fail();
            return false;
        }
        return *at_++ != 0;
    }
    QByteArray bytes() {
        const quint32 size = u32();
        if (size > left()) {
            fail();
            return {};
        }
        QByteArray value(at_, size);
        at_ += size;
        return value;
    }
    QString text() {
        const quint32 header = u32();
        const qint64 length = header >> 1;
        const bool wide = (header & 1) != 0;
        const qint64 size = wide ? length * 2 : length;
        if (size > left()) {
            fail();
            return {};
        }
        QString value;
        if (wide) {
            value.resize(length);
            qFromLittleEndian<char16_t>(at_, length, value.data());
        } else {
            value = QString::fromLatin1(at_, length);
        }
        at_ += size;
        return value;
    }
    /// A count is trusted only as far as the bytes left could hold its
    /// entries of at least `each` bytes, so a damaged record never makes the
    /// reader reserve more than the record holds.
    quint32 count(qint64 each) {
        const quint32 value = u32();
        if (qint64{value} > left() / each) {
            fail();
            return 0;
        }
        return value;
    }
    template <typename List>
    void texts(List& values) {
        const quint32 n = count(4);
        values.clear();
        values.reserve(n);
        for (quint32 i = 0; i < n && ok_; ++i) {
            values.push_back(text());
        }
    }
    /// Steps over what texts() would read, checking it as texts() would;
    /// gives the number of texts.
    quint32 skipTexts() {
        const quint32 n = count(4);
        for (quint32 i = 0; i < n && ok_; ++i) {
            const quint32 header = u32();
            const qint64 length = header >> 1;
            const qint64 size = (header & 1) != 0 ? length * 2 : length;
            if (size > left()) {
                fail();
                return 0;
            }
            at_ += size;
        }
        return n;
    }
    FileStamp stamp() {
        FileStamp value;
        value.size = i64();
        value.modifiedNs = i64();
        value.changedNs = i64();
        value.device = u64();
        value.inode = u64();
        return value;
    }

private:
    template <typename T>
    T number() {
        if (left() < qint64{sizeof(T)}) {
            fail();
            return T{};
        }
        const T value = qFromLittleEndian<T>(at_);
        at_ += sizeof(T);
        return value;
    }

    const char* at_;
    const char* end_;
    bool ok_ = true;
};

void WriteFiles(RecordOut& out, const WrittenFiles& files) {
    out.u32(quint32(files.size()));
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        out.text(it.key());
        out.stamp(it->stamp);
        out.flag(it->sourceCopy);
    }
}

void ReadFiles(RecordIn& in, WrittenFiles& files) {
    const quint32 count = in.count(4);
    files.reserve(count);
    for (quint32 i = 0; i < count && in.ok(); ++i) {
        QString name = in.text();
        WrittenFile file;
        file.stamp = in.stamp();
        file.sourceCopy = in.flag();
        files.insert(name, file);
    }
}

void WriteNote(RecordOut& out, const ChapterNote& n) {
    out.i32(qint32(n.kind));
    out.text(n.reason);
    out.text(n.item);
    out.i32(qint32(n.status));
    out.text(n.title);
    out.text(n.output);
    out.text(n.text);
    out.i32(qint32(n.icon));
    out.i32(qint32(n.buttons));
}

ChapterNote ReadNote(RecordIn& in) {
    ChapterNote n;
    const qint32 kind = in.i32();
    n.reason = in.text();
    n.item = in.text();
    const qint32 status = in.i32();
    n.title = in.text();
    n.output = in.text();
    n.text = in.text();
    const qint32 icon = in.i32();
    const qint32 buttons = in.i32();
    if (kind < 0 || kind > qint32(ChapterNote::Kind::LogText) || status < 0 || status > qint32(RowStatus::Failed)) {
        in.fail();
    }
    n.status = static_cast<RowStatus>(status);
    n.kind = static_cast<ChapterNote::Kind>(kind);
    n.icon = static_cast<MessageIcon>(icon);
    n.buttons = static_cast<MessageButtons>(buttons);
    return n;
}

void WriteNotes(RecordOut& out, const std::vector<ChapterNote>& notes) {
    out.u32(quint32(notes.size()));
    for (const ChapterNote& note : notes) {
        WriteNote(out, note);
    }
}

/// At most `most` notes: a count beyond it is a damaged record.
void ReadNotes(RecordIn& in, std::vector<ChapterNote>& notes, quint32 most) {
    const quint32 count = in.u32();
    if (count > most) {
        in.fail();
        return;
    }
    for (quint32 i = 0; i < count && in.ok(); ++i) {
        notes.push_back(ReadNote(in));
    }
}

void WriteSearch(RecordOut& out, const SearchChapter& search) {
    out.text(search.page);
    out.bytes(search.line);
    out.u32(quint32(search.snippetSections.size()));
    for (const qint32 section : search.snippetSections) {
        out.i32(section);
    }
}

/// A line takes one section number per NUL, each a section the chapter has.
void ReadSearch(RecordIn& in, SearchChapter& search, int sections) {
    search.page = in.text();
    search.line = in.bytes();
    const quint32 count = in.count(4);
    if (!in.ok() || search.line.count('\0') != qsizetype{count}) {
        in.fail();
        return;
    }
    search.snippetSections.resize(count);
    for (qint32& section : search.snippetSections) {
        section = in.i32();
        if (section < 1 || section > sections) {
            in.fail();
            return;
        }
    }
}

/// Only results with their files are recorded: a chapter whose page was written.
void WriteChapter(RecordOut& out, const ChapterResult& r) {
    out.flag(r.failed);
    out.i32(qint32(r.sections));
    out.flag(r.documented);
    out.text(r.title);
    if (!r.recordedLists.isEmpty()) {
        out.raw(r.recordedLists);
    } else {
        out.texts(r.sectionNames);
        out.texts(r.snippets);
    }
    WriteNotes(out, r.notes);
    WriteSearch(out, r.search);
    const ChapterFiles& f = *r.files;
    out.text(f.source);
    out.stamp(f.sourceStamp);
    out.flag(f.stampTrusted);
    out.bytes(f.sourceDigest);
    out.text(f.page);
    out.stamp(f.pageStamp);
}

void ReadChapter(RecordIn& in, ChapterResult& r) {
    r.failed = in.flag();
    const qint32 sections = in.i32();
    r.documented = in.flag();
    r.title = in.text();
    // The lists are checked here and read only when the chapter is listed.
    const char* lists = in.position();
    const quint32 names = in.skipTexts();
    in.skipTexts();
    if (!in.ok()) {
        return;
    }
    r.recordedLists = QByteArray(lists, in.position() - lists);
    r.sections = sections;
    // The lists name sections 2..sections: anything else would list what the page lacks.
    if (sections < 0 || (sections > 0 && qint64{names} != sections - 1)) {
        in.fail();
        return;
    }
    ReadNotes(in, r.notes, 1000);
    ReadSearch(in, r.search, sections);
    ChapterFiles files;
    files.source = in.text();
    files.sourceStamp = in.stamp();
    files.stampTrusted = in.flag();
    files.sourceDigest = in.bytes();
    files.page = in.text();
    files.pageStamp = in.stamp();
    r.files = std::move(files);
}

void WriteBookTexts(RecordOut& out, const BookTexts& book) {
    out.bytes(book.inputs);
    out.text(book.homePage);
    out.i64(book.helpPages);
    out.i64(book.helpPageBytes);
    out.u32(quint32(book.files.size()));
    for (const auto& [name, stamp] : book.files) {
        out.text(name);
        out.stamp(stamp);
    }
    WriteNotes(out, book.notes);
}

void ReadBookTexts(RecordIn& in, BookTexts& book) {
    book.inputs = in.bytes();
    book.homePage = in.text();
    book.helpPages = in.i64();
    book.helpPageBytes = in.i64();
    const quint32 files = in.count(4);
    for (quint32 i = 0; i < files && in.ok(); ++i) {
        std::pair<QString, FileStamp> file;
        file.first = in.text();
        file.second = in.stamp();
        book.files.push_back(std::move(file));
    }
    ReadNotes(in, book.notes, 1000);
}

void SetStreamVersion(QDataStream& stream) { stream.setVersion(QDataStream::Qt_6_0); }

}  // namespace

void ReadRecordedLists(ChapterResult& result) {
    if (result.recordedLists.isEmpty()) {
        return;
    }
    RecordIn in(result.recordedLists);
    in.texts(result.sectionNames);
    in.texts(result.snippets);
    result.recordedLists = QByteArray();
}

QByteArray BuildRecordChecksum(QByteArrayView bytes) {
    RecordCheck check;
    check.add(bytes);
    return check.result();
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
    RecordIn in(body.sliced(kMagic.size()));
    if (in.u32() != kFormatVersion) {
        return std::nullopt;
    }
    BuildRecord record;
    record.projectPath = in.text();
    record.destination = in.text();
    record.pageInputs = in.bytes();
    const quint32 count = in.count(4);
    if (!in.ok() || record.projectPath != projectPath || record.destination != destination) {
        return std::nullopt;
    }
    record.chapters.reserve(count);
    for (quint32 i = 0; i < count && in.ok(); ++i) {
        ChapterResult chapter;
        ReadChapter(in, chapter);
        if (!in.ok()) {
            break;
        }
        const QString source = chapter.files->source;
        record.chapters.emplace(source, std::move(chapter));
    }
    record.helpInputs = in.bytes();
    record.compiledStamp = in.stamp();
    record.compileOutput = in.bytes();
    record.compileSuccess = in.flag();
    ReadFiles(in, record.bookFiles);
    ReadBookTexts(in, record.book);
    if (!in.ok() || !in.atEnd() || record.chapters.size() != static_cast<qsizetype>(count)) {
        return std::nullopt;
    }
    return record;
}

RecordWrite WriteBuildRecord(const QString& path, const BuildRecord& record, qint64 limit) {
    QString failure;
    if (!MakeFolders(FolderOf(path), failure)) {
        return RecordWrite::Failed;
    }
    ReplacingFile file(path);
    if (!file.open()) {
        return RecordWrite::Failed;
    }
    RecordOut out(file, limit);
    out.raw(kMagic);
    out.u32(kFormatVersion);
    out.text(record.projectPath);
    out.text(record.destination);
    out.bytes(record.pageInputs);
    out.u32(quint32(record.chapters.size()));
    for (const ChapterResult& chapter : record.chapters) {
        WriteChapter(out, chapter);
        out.spill();
    }
    out.bytes(record.helpInputs);
    out.stamp(record.compiledStamp);
    out.bytes(record.compileOutput);
    out.flag(record.compileSuccess);
    WriteFiles(out, record.bookFiles);
    WriteBookTexts(out, record.book);
    if (out.finish() == RecordWrite::TooLarge) {
        // An older record left in its place would speak for pages it never saw;
        // the file written beside it goes when `file` does.
        QFile::remove(path);
        return RecordWrite::TooLarge;
    }
    return file.commit() ? RecordWrite::Written : RecordWrite::Failed;
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
