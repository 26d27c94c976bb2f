#include "book/build_record.h"

#include "pages/page_frame.h"
#include "support/file_read.h"
#include "support/paths.h"
#include "support/replacing_file.h"
#include "support/settings.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QIODevice>

namespace tessarel {

namespace {

const QByteArray kMagic = QByteArrayLiteral("Tessarel build record\n");
/// Raised whenever the layout below or the meaning of a field changes.
constexpr quint32 kFormatVersion = 3;
constexpr int kDigestBytes = 20;
/// A record of 4,000 chapters is a few megabytes; anything far beyond is no record of ours.
constexpr qint64 kMaxRecordBytes = qint64{64} << 20;
/// A source changed this recently may change again with the same size and time.
constexpr qint64 kSettleNs = qint64{2} * 1000000000;

QByteArray Checksum(QByteArrayView bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1); }

QDataStream& operator<<(QDataStream& s, const FileStamp& stamp) { return s << stamp.size << stamp.modifiedNs; }
QDataStream& operator>>(QDataStream& s, FileStamp& stamp) { return s >> stamp.size >> stamp.modifiedNs; }

void WriteFiles(QDataStream& s, const WrittenFiles& files) {
    s << quint32(files.size());
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        s << it.key() << it->stamp << it->sourceCopy;
    }
}

void ReadFiles(QDataStream& s, WrittenFiles& files) {
    quint32 count = 0;
    s >> count;
    for (quint32 i = 0; i < count && s.status() == QDataStream::Ok; ++i) {
        QString name;
        WrittenFile file;
        s >> name >> file.stamp >> file.sourceCopy;
        files.insert(name, file);
    }
}

QDataStream& operator<<(QDataStream& s, const ChapterNote& n) {
    return s << qint32(n.kind) << n.reason << n.item << qint32(n.status) << n.title << n.output << n.text
             << qint32(n.icon) << qint32(n.buttons);
}

QDataStream& operator>>(QDataStream& s, ChapterNote& n) {
    qint32 kind = 0;
    qint32 status = 0;
    qint32 icon = 0;
    qint32 buttons = 0;
    s >> kind >> n.reason >> n.item >> status >> n.title >> n.output >> n.text >> icon >> buttons;
    if (kind < 0 || kind > qint32(ChapterNote::Kind::QuitRequest) || status < 0 || status > qint32(RowStatus::Failed)) {
        s.setStatus(QDataStream::ReadCorruptData);
    }
    n.status = static_cast<RowStatus>(status);
    n.kind = static_cast<ChapterNote::Kind>(kind);
    n.icon = static_cast<MessageIcon>(icon);
    n.buttons = static_cast<MessageButtons>(buttons);
    return s;
}

QDataStream& operator<<(QDataStream& s, const ChapterFiles& f) {
    return s << f.source << f.sourceStamp << f.stampTrusted << f.sourceDigest << f.page << f.pageStamp;
}

QDataStream& operator>>(QDataStream& s, ChapterFiles& f) {
    return s >> f.source >> f.sourceStamp >> f.stampTrusted >> f.sourceDigest >> f.page >> f.pageStamp;
}

/// Only results with their files are recorded: a chapter whose page was written.
QDataStream& operator<<(QDataStream& s, const ChapterResult& r) {
    s << r.failed << qint32(r.sections) << r.documented << r.title << r.sectionNames
      << QStringList(r.snippets.begin(), r.snippets.end()) << quint32(r.notes.size());
    for (const ChapterNote& note : r.notes) {
        s << note;
    }
    return s << *r.files;
}

QDataStream& operator>>(QDataStream& s, ChapterResult& r) {
    qint32 sections = 0;
    quint32 notes = 0;
    QStringList snippets;
    s >> r.failed >> sections >> r.documented >> r.title >> r.sectionNames >> snippets >> notes;
    r.sections = sections;
    r.snippets.assign(snippets.begin(), snippets.end());
    // The lists name sections 2..sections: anything else would list what the page lacks.
    if (sections < 0 || (sections > 0 && r.sectionNames.size() != sections - 1) || notes > 1000) {
        s.setStatus(QDataStream::ReadCorruptData);
        return s;
    }
    for (quint32 i = 0; i < notes && s.status() == QDataStream::Ok; ++i) {
        ChapterNote note;
        s >> note;
        r.notes.push_back(std::move(note));
    }
    ChapterFiles files;
    s >> files;
    r.files = std::move(files);
    return s;
}

void SetStreamVersion(QDataStream& stream) { stream.setVersion(QDataStream::Qt_6_0); }

}  // namespace

QString BuildRecordPath(const QString& cacheFolder, const QString& projectPath, const QString& destination) {
    const QByteArray key = projectPath.toUtf8() + '\0' + destination.toUtf8();
    return cacheFolder + QStringLiteral("builds") + PathSeparator() + QString::fromLatin1(Checksum(key).toHex()) +
           QStringLiteral(".record");
}

std::optional<BuildRecord> ReadBuildRecord(const QString& path, const QString& projectPath,
                                           const QString& destination) {
    QByteArray bytes;
    if (!ReadRegularFile(path, bytes, kMaxRecordBytes).ok() || bytes.size() < kMagic.size() + kDigestBytes ||
        !bytes.startsWith(kMagic)) {
        return std::nullopt;
    }
    const QByteArrayView body = QByteArrayView(bytes).first(bytes.size() - kDigestBytes);
    if (Checksum(body) != QByteArrayView(bytes).last(kDigestBytes)) {
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
    in >> record.helpInputs >> record.compiledStamp >> record.compileReason >> record.compileSuccess;
    ReadFiles(in, record.bookFiles);
    if (in.status() != QDataStream::Ok || !in.atEnd() || record.chapters.size() != static_cast<qsizetype>(count)) {
        return std::nullopt;
    }
    return record;
}

bool WriteBuildRecord(const QString& path, const BuildRecord& record) {
    // The payload goes right after the magic line: a record of megabytes is not copied.
    QByteArray bytes = kMagic;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly | QIODevice::Append);
        SetStreamVersion(out);
        out << kFormatVersion << record.projectPath << record.destination << record.pageInputs
            << quint32(record.chapters.size());
        for (const ChapterResult& chapter : record.chapters) {
            out << chapter;
        }
        out << record.helpInputs << record.compiledStamp << record.compileReason << record.compileSuccess;
        WriteFiles(out, record.bookFiles);
    }
    bytes += Checksum(bytes);
    QString failure;
    if (!MakeFolders(FolderOf(path), failure)) {
        return false;
    }
    ReplacingFile file(path);
    return file.open() && file.write(bytes) && file.commit();
}

QByteArray PageInputsDigest(const Settings& settings, const PageStyle& style, const QString& generatedAtText) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    SetStreamVersion(out);
    // Every setting, even those only the book pages read: a changed setting is
    // rare, and a page that missed one would be wrong.
    const CommentStyles& c = settings.comments;
    out << kFormatVersion << QByteArrayLiteral(TESSAREL_VERSION) << QByteArray(qVersion()) << settings.Title
        << settings.Links << settings.Api << settings.Style << qint32(settings.Overview)
        << settings.IncludeSourceLocation << settings.IncludeLastGenerated << settings.UseChapterTitleInIndex
        << settings.IncludeOnlyDocumentedFiles << settings.GenerateHtmlHelpFiles << settings.Collapsible
        << settings.EmbedStyle << settings.IncludeSearch << settings.SortSections << settings.SortFilenames
        << settings.IncludeProjectTitle << settings.BoldTitles << settings.IndexTitle << settings.IndexText
        << settings.Copyright << settings.HomeChapter << settings.RelDestPath << settings.TextFilter
        << settings.ComboFilter << c.doubleSlash << c.apostrophe << c.hash << c.semicolon << c.dash << c.letterC
        << c.exclamation << c.slashStar << c.parenStar << c.braces << style.name << style.text << style.embedded
        << generatedAtText;
    return Checksum(bytes);
}

bool StampSettled(const FileStamp& stamp, qint64 nowNs) {
    return stamp.known() && stamp.modifiedNs <= nowNs - kSettleNs;
}

}  // namespace tessarel
