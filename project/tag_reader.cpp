#include "project/tag_reader.h"

#include "support/file_progress.h"

#include "support/string_functions.h"
#include "support/user_interface.h"

namespace tessarel {

namespace {

constexpr int kBusyThreshold = 30;

qsizetype CountExact(const QString& text, const QString& tag) {
    qsizetype count = 0;
    for (qsizetype at = text.indexOf(tag); at >= 0; at = text.indexOf(tag, at + 1)) {
        ++count;
    }
    return count;
}

}  // namespace

TagReader::TagReader(UserInterface& ui, Form form, FileProgress* progress)
    : ui_(ui), form_(form), progress_(progress) {}

void TagReader::setSource(const QString& text) { source_ = text; }

bool TagReader::read(const QString& name) {
    openingTag_ = u'<' + name + u'>';
    closingTag_ = QStringLiteral("</") + name + u'>';
    if (source_.isEmpty()) {
        return true;
    }
    return collect();
}

QString TagReader::content(int index) const {
    if (index < 0 || index >= contents_.size()) {
        return QStringLiteral("Out of Range");
    }
    return contents_.at(index);
}

void TagReader::refuse() {
    // Leaving the previous element's contents in place would hand them to the
    // caller as this element's value.
    contents_.clear();
    ui_.message(QStringLiteral("XML file error"), QStringLiteral("All tags must open and close properly."),
                form_ == Form::Plain ? MessageIcon::Exclamation : MessageIcon::None, MessageButtons::Ok);
}

bool TagReader::collect() {
    const qsizetype opened = CountExact(source_, openingTag_);
    if (opened != CountExact(source_, closingTag_)) {
        refuse();
        return false;
    }
    contents_.clear();
    if (opened == 0) {
        return true;
    }

    const bool busy = progress_ != nullptr && form_ == Form::Project && opened > kBusyThreshold;
    if (busy) {
        progress_->show(QStringLiteral("Getting Project Parameters... (%1 files)").arg(opened),
                        openingTag_ + u' ' + closingTag_, opened < 2 ? 1 : static_cast<int>(opened - 1));
    }

    // Each search starts where the previous occurrence ended, so the whole walk
    // reads the source once.
    QStringList found;
    found.reserve(opened);
    qsizetype from = 0;
    bool whole = true;
    for (qsizetype i = 0; i < opened; ++i) {
        if (busy) {
            progress_->setValue(static_cast<int>(i));
        }
        const qsizetype open = source_.indexOf(openingTag_, from, Qt::CaseInsensitive);
        if (open < 0) {
            whole = false;
            break;
        }
        const qsizetype openEnd = source_.indexOf(u'>', open);
        const qsizetype close = source_.indexOf(closingTag_, openEnd, Qt::CaseInsensitive);
        if (close < 0) {
            // Counted tags that do not pair up in order, such as a closing tag
            // before its opening one.
            whole = false;
            break;
        }
        from = source_.indexOf(u'>', close);
        found.append(source_.mid(openEnd + 1, close - openEnd - 1));
    }
    if (busy) {
        progress_->hide();
    }
    if (!whole) {
        refuse();
        return false;
    }
    contents_ = std::move(found);
    return true;
}

QString TagReader::readSingleTag(const QString& name) const { return tessarel::ReadSingleTag(source_, name); }

QString ReadSingleTag(const QString& source, const QString& name) {
    const QString opening = u'<' + name + u'>';
    const qsizetype open = source.indexOf(opening);
    if (open < 0) {
        return QString();
    }
    const qsizetype openEnd = source.indexOf(u'>', open);
    const qsizetype close = source.indexOf(QStringLiteral("</") + name + u'>', openEnd);
    if (close < 0) {
        return QString();
    }
    return TrimSpaces(source.mid(openEnd + 1, close - openEnd - 1));
}

}  // namespace tessarel
