#pragma once

#include <QByteArrayView>
#include <QString>

namespace tessarel {

struct AppPaths;

/// The words every style sheet the program ships opens with, then its name:
/// a sheet a build wrote is known by them whatever version wrote it.
inline const QString kStyleSheetOpening = QStringLiteral("/* Tessarel style: ");

/// The style every page falls back to when its own is missing or unusable.
inline const QString kFallbackStyleName = QStringLiteral("minimal");

/// The text of styles/<name>.css in the program folder, else of
/// styles/minimal.css, else "". A name that is not plain counts as missing.
QString GetStyleText(const AppPaths& paths, const QString& styleName);

/// The name unchanged when it can only name a sheet of the styles folder (not
/// blank, no folder separator, no "..", no character a file name cannot hold),
/// else kFallbackStyleName: what the pages link and the build writes beside them.
QString UsableStyleName(const QString& styleName);

/// Whether `bytes` are a shipped sheet as an earlier version wrote it into a
/// book, before its text changed: a book built then still holds it, and it is
/// as much Tessarel's as the sheet written today.
bool IsFormerStyleSheet(QByteArrayView bytes);

}  // namespace tessarel
