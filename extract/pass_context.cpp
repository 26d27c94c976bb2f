#include "extract/pass_context.h"

#include "support/memory_setup.h"

namespace tessarel {

QString& PassContext::output(qsizetype size) {
    spare_.truncate(0);
    if (spare_.capacity() < size) {
        spare_.reserve(size + size / 4 + 256);
    }
    return spare_;
}

void PassContext::release() {
    const auto bytes = static_cast<size_t>(spare_.capacity()) * sizeof(QChar);
    if (bytes >= kReleasedTextBytes && spare_.isDetached()) {
        ReleasePages(spare_.constData(), bytes);
    }
    spare_ = QString();
}

TextRewriter::TextRewriter(const QString& source, PassContext* context)
    : source_(source), context_(context != nullptr ? *context : local_) {}

QString& TextRewriter::replace(qsizetype from, qsizetype to) {
    if (out_ == nullptr) {
        out_ = &context_.output(source_.size() + source_.size() / 8 + 64);
    }
    out_->append(QStringView(source_).mid(copied_, from - copied_));
    copied_ = to;
    return *out_;
}

void TextRewriter::finish(QString& text) {
    if (out_ == nullptr) {
        return;
    }
    out_->append(QStringView(source_).mid(copied_));
    context_.commit(text);
    out_ = nullptr;
    // Without a caller's context the room kept for the next pass is never
    // used, and a short text kept per section would carry hundreds of bytes.
    if (&context_ == &local_) {
        text.squeeze();
    }
}

}  // namespace tessarel
