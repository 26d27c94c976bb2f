#pragma once

#include <QString>
#include <QStringView>

namespace tessarel {

// Escaping for text that is not the author's HTML: file names, source code,
// settings placed in attributes. Each function returns its argument unchanged
// (and shared) when there is nothing to escape, so ordinary pages stay as
// they were.

/// Plain text as element content: "&", "<" and ">" become entities.
QString EscapeHtml(const QString& text);
/// Plain text as a double-quoted attribute value: "&", "<", ">" and '"' become entities.
QString EscapeHtmlAttribute(const QString& text);
/// Appends EscapeHtmlAttribute's form of `text` to `out`.
void AppendEscapedHtmlAttribute(QString& out, QStringView text);
/// HTML text (a section name, a tag argument) as a double-quoted attribute
/// value: only '"' becomes "&quot;", so the value means what the text means
/// and an anchor matches every link that names it.
QString QuoteHtmlAttribute(const QString& html);
void AppendQuotedHtmlAttribute(QString& out, QStringView html);
/// Source code as element content: "&", "<" and ">" become entities, except
/// what the scanner itself wrote into the source text: character references
/// ("&#" and a digit: "::", "://", "@" codes and literal blocks) and the
/// emphasis tags "<b>", "<i>", "<u>" with their closing tags.
QString EscapeSourceCode(QStringView code);
/// A file name as a relative URL: "%", "#", "?", ":", "\" and control
/// characters are percent-encoded, so the link leads to that file and can never
/// take a scheme. No ordinary page name holds them; spaces stay.
QString FileNameUrl(const QString& name);
/// Whether a link target, as a browser reads it from an attribute (its
/// references decoded), is a web (http, https, ftp), mail (mailto), relative
/// or anchor target. Only a scheme (a letter, then letters, digits, "+", "-"
/// or ".", then ":") of another kind is refused, and so is a target whose
/// scheme a reference this decoder does not know might make.
bool IsSafeLinkTarget(QStringView target);

/// Whether a character reference written without its ";" ("&#58", as the
/// passes write them) needs the ";" before `next`: a digit would be read as
/// more of its number, and a ";" as its end.
inline bool NeedsReferenceEnd(QChar next) { return (next >= u'0' && next <= u'9') || next == u';'; }
/// Whether the ";" at `at` is one that NeedsReferenceEnd had written: it
/// follows "&#" and digits, and a digit or ";" comes after it. Such a ";"
/// belongs to the reference, never to the text around it.
bool IsReferenceEnd(QStringView text, qsizetype at);

/// HTML as plain text: tags dropped, character references ("&#N;", "&#xH;" and
/// the common named ones) decoded, every run of white space one blank, no
/// blank at either end. With `maxWords` > 0 only the first words are kept, and
/// the walk stops there, so a long text costs no more than its start.
QString PlainTextOfHtml(QStringView html, int maxWords = 0);
/// Only the character references of a text decoded, as a browser reads an
/// attribute value; everything else stays.
QString DecodeHtmlReferences(QStringView html);

}  // namespace tessarel
