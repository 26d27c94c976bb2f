#pragma once

// The markers of the text between the passes. A source file becomes one
// string on its way to the document model, and the passes talk to each other
// through markers written into that string. Each constant says which pass
// writes it and which reads it.
//
// Markers the page writers in pages/ read (they keep their own literals):
//   "@p"                 written by FormatParagraphs; TranslateSimpleTags makes it "<p>".
//   "@goto[NAME]"        written by the section linker; TranslateGotoTags makes it a link.
//   "@r", "@link[..]", "@figure[..]", "@n", "@c", "@s", "@x", "@b", "@i",
//   "@u", "@o", "@level_4" and their "@/" closers
//                        typed in comments; HighlightWords, TranslateLinkTags,
//                        TranslateFigureTags and TranslateSimpleTags read them.
//   "AT#$#$"             typed in comments for a plain "@"; RestoreAtSigns
//                        makes it "@" last (kAtSignMarker, pages/tag_translation.h).
//   "http&#58&#47&#47"   written by the page's web-link translation as well.
//
// Escapes written for the browser and read by no pass: EscapeMarkers turns
// "@t", "@c", "@r", "@x", "@b", "@i", "@u" into "&#64&#N" and "::" into
// "&#58&#58"; EncodeLiteralBlocks writes "&#N" per character; TranslateEmailTags
// writes kHiddenAtSign for every "@" of an address.
//
// These references, and kHiddenSchemeSeparator, go without their ";" except
// before a digit (which would be read as more of the number) or a ";" (which
// would be read as its end): there the ";" is written (NeedsReferenceEnd), and
// the passes that read ";" (keyword lines, web addresses, declaration boxes)
// pass over such a ";" (IsReferenceEnd).

#include <QString>

namespace tessarel {

/// Heads a section: written by ConvertKeywordLines (or typed in a comment);
/// read by FillSections (SectionTagPositions).
inline const QString kSectionMarker = QStringLiteral("@section");

/// Opens a stretch of section text: written by ConvertKeywordLines after a
/// section header; read by FillSections and CleanDeclaration.
inline const QString kTextOpenMarker = QStringLiteral("@t");

/// Closes a comment block: written by the comment scanner (a closer of a
/// multi-line style, the end of a block of single-line comments),
/// ConvertKeywordLines and ParseSourceFile (the end of the text); read by the
/// run blanking and BlankSeparatorLines, FillSections, FindDeclarations and
/// ParseSourceFile, which blanks what is left of it at the end.
inline const QString kTextCloseMarker = QStringLiteral("@/t");

/// Starts a paragraph: written by FormatParagraphs after an empty line; read by
/// the page writer.
inline const QString kParagraphMarker = QStringLiteral("@p");

/// Around a mention of a section's name: written by the section linker; read
/// by the page writer.
inline const QString kLinkOpenMarker = QStringLiteral("@goto[");
inline const QString kLinkCloseMarker = QStringLiteral("]");

/// A web address's "://" while the comment scan runs, so that its slashes are
/// no comment: written by ProtectWebAddresses and LinkWebAddresses; read by
/// RestoreWebAddresses once a section's text is formatted.
inline const QString kSchemeSeparator = QStringLiteral("://");
inline const QString kHiddenSchemeSeparator = QStringLiteral("&#58&#47&#47");

/// A mail tag, "@email[ADDRESS]" or "@email[ADDRESS, TEXT]": typed in a
/// comment; read by TranslateEmailTags before the comment scan.
inline const QString kEmailTag = QStringLiteral("@email");

/// An "@" of a mail address, out of reach of the tag translations: written by
/// TranslateEmailTags; read by the browser only.
inline const QString kHiddenAtSign = QStringLiteral("&#64");

/// What "{{" and "}}" were put aside as while single braces closed comments;
/// read by CloseBraceComments, which turns such text back into "{{" and "}}".
inline const QString kDoubledBraceOpenPlaceholder = QStringLiteral("[_un_+]..");
inline const QString kDoubledBraceClosePlaceholder = QStringLiteral("[_un_-]..");

/// What a comment delimiter holding an emphasis mark ("(*", "*)", "/*", "*/")
/// was put aside as during the emphasis passes; read by FormatBold and
/// FormatItalic, which turn such text into the delimiters.
inline const QString kDelimiterOpenPlaceholder = QStringLiteral("<[[[!^^++]]]>");
inline const QString kDelimiterClosePlaceholder = QStringLiteral("<[[[!^^--]]]>");

}  // namespace tessarel
