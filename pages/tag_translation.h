#pragma once

#include "extract/document_model.h"
#include "extract/pass_context.h"

#include <QString>

#include <vector>

namespace tessarel {

class UserInterface;

/// Written in a text where an "@" must reach the page untouched by the tag
/// translations; turned into "@" last.
inline const QString kAtSignMarker = QStringLiteral("AT#$#$");

/// Translates the sections for the page one at a time, running every text
/// through working buffers that keep their room from section to section.
class SectionTranslator {
public:
    /// A section's text as the page shows it: with 100 guard spaces, its inline
    /// tags translated. Valid until the next call.
    QStringView text(const QString& text);
    /// The same for a text that is not needed afterwards: it is taken over
    /// (or copied and released), so the page never holds it twice.
    QStringView take(QString& text);
    /// A section's name as the page shows it: trimmed, its simple tags and
    /// at-sign markers translated.
    static QString name(const QString& name);

private:
    QStringView translateWorking();

    PassContext context_;
    QString working_;
};

/// The sections as the page shows them: names and declarations trimmed, texts
/// (with 100 guard spaces) translated from inline tags into HTML. 1-based like
/// DocumentModel::Sections; element 0 is unused. Empty when the model has no section.
std::vector<SectionRecord> TranslateSections(UserInterface& ui, const DocumentModel& doc);

/// "@r" highlights the word after it; every "@r" then becomes two spaces.
void HighlightWords(QString& text);
/// "@goto[NAME]" becomes a link to the section NAME on the same page.
void TranslateGotoTags(QString& text);
/// "@link[URL]" and "@link[URL, TEXT]" become web links whose target hides the
/// scheme's colon and slashes.
void TranslateLinkTags(QString& text);
/// "@figure[SOURCE]" becomes a paragraph holding the image.
void TranslateFigureTags(QString& text);
/// The formatting codes "@n", "@p", "@b", "@/b" ... become their HTML, in one pass.
void TranslateSimpleTags(QString& text);
// With a context (which may be null), the result goes through its spare buffer.
void HighlightWords(QString& text, PassContext* context);
void TranslateGotoTags(QString& text, PassContext* context);
void TranslateLinkTags(QString& text, PassContext* context);
void TranslateFigureTags(QString& text, PassContext* context);
void TranslateSimpleTags(QString& text, PassContext* context);

/// Every "AT#$#$" becomes "@".
void RestoreAtSigns(QString& text);

}  // namespace tessarel
