#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <initializer_list>
#include <utility>

namespace tessarel {

// Text operations shared by the parser, the page writers and the project code.
// Positions are 1-based, as everywhere in the document model. Every operation is
// linear in the length of the text: results are built in a new buffer.

inline const QString kCrLf = QStringLiteral("\r\n");

/// Characters first..last inclusive; "" when first > last.
QString MidRange(const QString& text, qsizetype first, qsizetype last);
/// Replaces the first occurrence of `find`.
void ReplaceFirst(QString& text, const QString& find, const QString& replacement);
/// Replaces every occurrence left to right, going on after each replacement.
/// Does nothing when text, find or replacement is empty.
void ReplaceAll(QString& text, QStringView find, QStringView replacement);
/// Every "\n" from `from` on becomes "\r\n", in place: the text moves back from
/// its end, in the room it has when that suffices. Returns whether any changed.
bool ExpandLineFeeds(QString& text, qsizetype from = 0);
/// ReplaceAll from position `start`, without the guard against empty arguments
/// (an empty `find` does nothing; an empty replacement deletes).
void ReplaceAllFrom(qsizetype start, QString& text, QStringView find, QStringView replacement);
/// Whole-word replacement over the 16 delimiter pairs, in their fixed order.
void ReplaceWord(QString& text, const QString& word, const QString& replacement);
/// ReplaceWord followed by the ten extra pairs with "(" and "*".
void ReplaceWordExtended(QString& text, const QString& word, const QString& replacement);
/// The (left, right) delimiter pairs of ReplaceWordExtended, in the order it tries them.
const std::array<std::pair<QString, QString>, 26>& ExtendedWordDelimiters();
/// Replaces characters start..end-1 by `replacement`.
void ReplaceRange(QString& text, qsizetype start, qsizetype end, const QString& replacement);
/// Every span from "<" to the next ">" (or to the end) becomes spaces.
void BlankOutTags(QString& text);

/// Trims spaces only (not tabs or line breaks), as the system's trim does.
QString TrimSpaces(const QString& text);
/// What TrimSpaces keeps, as a view into `text`.
QStringView TrimmedSpaces(QStringView text);
/// The leading number of a text, as preferences and flags are read: blanks
/// skipped, an optional sign, digits; 0 when there is none. " 1" and "1" agree.
int NumberValue(const QString& text);
/// Appends `pieces` to `text` with one growth at most: pages and book lists
/// are made of hundreds of thousands of short pieces.
void AppendAll(QString& text, std::initializer_list<QStringView> pieces);

}  // namespace tessarel
