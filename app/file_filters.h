#pragma once

#include <QString>
#include <QStringList>

namespace tessarel {

/// Turns "description|patterns|description|patterns..." into name filters for
/// the file dialogs. Each filter is the description followed by its patterns in
/// parentheses, separated by blanks (";" and empty patterns dropped), so the
/// dialog matches by the patterns while showing the description alone.
QStringList NameFiltersOf(const QString& filter);

}  // namespace tessarel
