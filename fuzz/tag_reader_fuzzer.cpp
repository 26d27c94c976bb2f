// The tag reader on any text, in both forms. The input is "name", a NUL and the
// source. The reader's results are checked against the positions the tags
// really have in the source.

#include "fuzz/fuzz_support.h"
#include "project/tag_reader.h"
#include "support/string_functions.h"

using namespace tessarel;
using namespace tessarel::fuzz;
using namespace Qt::Literals::StringLiterals;

namespace {

qsizetype CountExact(const QString& text, const QString& tag) {
    qsizetype count = 0;
    for (qsizetype at = text.indexOf(tag); at >= 0; at = text.indexOf(tag, at + 1)) {
        ++count;
    }
    return count;
}

/// The occurrences as positions: each content must be the text between the end
/// of an opening tag and the start of the closing tag after it, and the spans
/// must follow each other in the source.
void CheckContents(const TagReader& reader, const QString& source) {
    qsizetype from = 0;
    for (int i = 0; i < reader.count(); ++i) {
        const qsizetype open = source.indexOf(reader.openingTag(), from, Qt::CaseInsensitive);
        TESSAREL_FUZZ_CHECK(open >= 0);
        const qsizetype openEnd = source.indexOf(u'>', open);
        TESSAREL_FUZZ_CHECK(openEnd >= open && openEnd < source.size());
        const qsizetype close = source.indexOf(reader.closingTag(), openEnd, Qt::CaseInsensitive);
        TESSAREL_FUZZ_CHECK(close >= openEnd);
        const QString content = reader.content(i);
        TESSAREL_FUZZ_CHECK(openEnd + 1 + content.size() <= source.size());
        TESSAREL_FUZZ_CHECK(QStringView(source).mid(openEnd + 1, close - openEnd - 1) == content ||
                                (close - openEnd - 1 <= 0 && content.isEmpty()),
                            QStringLiteral("occurrence %1").arg(i));
        from = source.indexOf(u'>', close);
        TESSAREL_FUZZ_CHECK(from >= close);
    }
}

void ReadAs(TagReader::Form form, const QString& name, const QString& source) {
    QuietUserInterface ui;
    TagReader reader(ui, form, &ui);
    reader.setSource(source);
    const bool read = reader.read(name);
    TESSAREL_FUZZ_CHECK(reader.openingTag() == u'<' + name + u'>');
    TESSAREL_FUZZ_CHECK(reader.closingTag() == u"</"_s + name + u'>');
    TESSAREL_FUZZ_CHECK(!ui.busyShown, u"busy display left open"_s);
    TESSAREL_FUZZ_CHECK(ui.busyFaults.isEmpty(), ui.busyFaults.join(u"; "_s));

    const qsizetype opened = CountExact(source, reader.openingTag());
    const qsizetype closed = CountExact(source, reader.closingTag());
    if (source.isEmpty()) {
        TESSAREL_FUZZ_CHECK(read && reader.count() == 0 && ui.messages.empty());
    } else if (read) {
        TESSAREL_FUZZ_CHECK(opened == closed);
        TESSAREL_FUZZ_CHECK(reader.count() == opened);
        TESSAREL_FUZZ_CHECK(ui.messages.empty());
        TESSAREL_FUZZ_CHECK((ui.busyShows > 0) == (form == TagReader::Form::Project && opened > 30));
        CheckContents(reader, source);
    } else {
        // Refused: one message, and the element counts as absent.
        TESSAREL_FUZZ_CHECK(reader.count() == 0);
        TESSAREL_FUZZ_CHECK(ui.messages.size() == 1);
        TESSAREL_FUZZ_CHECK(ui.messages[0].text == u"All tags must open and close properly."_s);
        TESSAREL_FUZZ_CHECK((ui.messages[0].icon == MessageIcon::Exclamation) == (form == TagReader::Form::Plain));
    }
    TESSAREL_FUZZ_CHECK(reader.content(reader.count()) == u"Out of Range"_s);
    TESSAREL_FUZZ_CHECK(reader.content(-1) == u"Out of Range"_s);

    const QString single = reader.readSingleTag(name);
    TESSAREL_FUZZ_CHECK(single == TrimSpaces(single));
    TESSAREL_FUZZ_CHECK(single.isEmpty() || source.contains(single));
    if (!source.contains(reader.openingTag())) {
        TESSAREL_FUZZ_CHECK(single.isEmpty());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype split = bytes.indexOf('\0');
    const QString name = QString::fromUtf8(split < 0 ? QByteArray("N") : bytes.left(split));
    const QString source = QString::fromUtf8(split < 0 ? bytes : bytes.mid(split + 1));
    ReadAs(TagReader::Form::Project, name, source);
    ReadAs(TagReader::Form::Plain, name, source);
    return 0;
}
