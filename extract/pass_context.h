#pragma once

#include <QString>
#include <QStringView>

namespace tessarel {

/// What a whole-text pass needs besides its text: a spare buffer to write its
/// result into. The result and the old text then trade places, so a long text
/// moves between the same two allocations from pass to pass; fresh pages cost
/// far more than the copy.
class PassContext {
public:
    PassContext() = default;
    PassContext(const PassContext&) = delete;
    PassContext& operator=(const PassContext&) = delete;

    /// The spare buffer, emptied, with room for at least `size` characters.
    QString& output(qsizetype size);
    /// The spare buffer becomes the text; the text's buffer becomes the spare.
    void commit(QString& text) { text.swap(spare_); }
    /// Room for `size` characters in the spare buffer, before any pass needs it.
    void reserve(qsizetype size) { spare_.reserve(size); }
    /// Gives the spare buffer back, and a large one's pages to the system: the
    /// heap keeps freed blocks, and the texts made next need not sit beside it.
    void release();

private:
    QString spare_;
};

/// Copies a text into a pass context's spare buffer with replacements at
/// increasing positions; nothing is copied before the first replacement.
class TextRewriter {
public:
    TextRewriter(const QString& source, PassContext* context);
    /// Copies the source up to `from` and skips it up to `to`; the replacement
    /// is then appended to the returned output.
    QString& replace(qsizetype from, qsizetype to);
    /// Replaces source[from, to) by `replacement`.
    void replace(qsizetype from, qsizetype to, QStringView replacement) { replace(from, to).append(replacement); }
    void insert(qsizetype at, QStringView insertion) { replace(at, at).append(insertion); }
    bool changed() const { return out_ != nullptr; }
    /// Copies the rest and makes the result the text (when anything changed).
    void finish(QString& text);

private:
    const QString& source_;
    PassContext local_;
    PassContext& context_;
    QString* out_ = nullptr;
    qsizetype copied_ = 0;
};

}  // namespace tessarel
