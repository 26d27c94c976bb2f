#pragma once

namespace tessarel {

struct BookOutput;
class ProjectSources;

// What a project build does in its destination folder before the first
// chapter, while it holds the destination's lock.

/// Removes the files a killed build left beside their places; only a build
/// holding the lock may, as they could otherwise be another build's.
void RemoveLeftovers(const BookOutput& out, const ProjectSources& sources);

/// False, with a failed log row for each and one message, when a book file
/// would replace one of the project's sources: nothing is written then.
bool KeepSourcesOutOfTheBook(const BookOutput& out, const ProjectSources& sources);

/// Writes the linked style sheet (unless the book keeps a file of the user's
/// there). False when the sheet could not be written.
bool WriteBookStyleSheet(const BookOutput& out);

}  // namespace tessarel
