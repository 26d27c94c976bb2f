#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

class QWidget;

namespace tessarel {

/// Places the window above other windows, keeping its place and size.
void MakeTopmost(QWidget* window);
/// Returns the window to the normal stacking, keeping its place and size.
void MakeNotTopmost(QWidget* window);
/// Where a window of `size` stands centred on its owner's frame, kept inside
/// the `available` part of the screen.
QPoint CentredPosition(const QSize& size, const QRect& ownerFrame, const QRect& available);
/// Centres a window on the window that owns it (on its screen when it has none).
void CentreOnOwner(QWidget* window);
/// Opens a file or web address with its associated program; the result is ignored.
void ShellOpen(const QString& target);

/// The horizontal dots per inch of the screen the widget is on.
double ScreenDpi(const QWidget* widget);

}  // namespace tessarel
