#pragma once

#include <QString>

namespace tessarel {

struct BookOutput;

/// The entry pages of the book: the frameset "index.htm", or with Collapsible the
/// loader "index.htm" and the framesets "genesisa.htm" and "genesisn.htm".
/// False when a page could not be written (already reported).
bool WriteFramePages(const BookOutput& out, const QString& homePage);

}  // namespace tessarel
