#pragma once

#include <QString>

class QWidget;

namespace tessarel {

/// Places the window above other windows, keeping its place and size.
void MakeTopmost(QWidget* window);
/// Returns the window to the normal stacking, keeping its place and size.
void MakeNotTopmost(QWidget* window);
/// Opens a file or web address with its associated program; the result is ignored.
void ShellOpen(const QString& target);

/// The horizontal dots per inch of the screen the widget is on.
double ScreenDpi(const QWidget* widget);

}  // namespace tessarel
