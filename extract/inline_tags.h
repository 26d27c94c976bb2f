#pragma once

#include <QString>

#include <functional>

namespace tessarel {

class PassContext;

/// The scheme shared by "@goto", "@link", "@email" and "@figure": each tag with a
/// non-empty [argument] is replaced, from its "@" to the first "]", by
/// makeReplacement(trimmed argument); the search resumes `resumeLength`
/// characters after the tag's "@". An empty argument stops the translation of
/// that tag for the rest of the text.
void TranslateBracketedTags(QString& text, const QString& tag, qsizetype resumeLength,
                            const std::function<QString(const QString& argument)>& makeReplacement,
                            PassContext* context = nullptr);

/// "@email[ADDRESS]" and "@email[ADDRESS, TEXT]" become mailto links. Run by
/// the parser over the whole source text, before the comment scan.
void TranslateEmailTags(QString& text, PassContext* context = nullptr);

}  // namespace tessarel
