#pragma once

#include "support/settings.h"

#include <QByteArray>
#include <QString>

namespace tessarel {

struct DocumentModel;
class UserInterface;

/// What a parse needs besides the file: the comment styles in force (the
/// project's, or single-file mode's from the preferences), whether sections
/// and whether sections link to each other.
struct ParseOptions {
    CommentStyles comments;
    bool hyperlinks = true;
    /// The sections' texts may be formatted on a second thread: for a source
    /// built alone, not for the chapters of a book, which already share the cores.
    bool secondThread = false;
};

/// The progress maximum ParseSourceFile sets for the comment styles.
int ParseProgressMaximum(const CommentStyles& styles);

/// Parses the file at `path` into `doc` (the caller has set doc.SourceFilePath).
/// Returns true when at least one section was found and filled.
/// A file that cannot be read parses as empty text.
bool ParseSourceFile(UserInterface& ui, DocumentModel& doc, const QString& path, const ParseOptions& options);
/// The same for the bytes of the file at `path`, already read; they are freed
/// once decoded.
bool ParseSourceFile(UserInterface& ui, DocumentModel& doc, const QString& path, QByteArray bytes,
                     const ParseOptions& options);

}  // namespace tessarel
