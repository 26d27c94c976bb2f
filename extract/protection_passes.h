#pragma once

#include <QString>

namespace tessarel {

class PassContext;

// Passes over the whole source text that protect what the comment scan and
// the section passes must not read as their marks.

/// "{{text}}" on one line becomes "&#N" per character of the trimmed text
/// (the last ended by ";" before a digit or ";").
void EncodeLiteralBlocks(QString& text, PassContext* context = nullptr);
/// "http://" and "https://" lose their colon and slashes ("&#58&#47&#47", and
/// ";" before a digit or ";").
void ProtectWebAddresses(QString& text, PassContext* context = nullptr);
/// The reverse of ProtectWebAddresses.
void RestoreWebAddresses(QString& text, PassContext* context = nullptr);
/// Escapes "@t", "@c", "@r", "@x", "@b", "@i", "@u" and "::" so that source
/// text can form neither span markers nor inline tags (";" ends an escape
/// before a digit or ";").
void EscapeMarkers(QString& text, PassContext* context = nullptr);

}  // namespace tessarel
