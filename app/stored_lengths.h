#pragma once

namespace tessarel {

// The window-state file keeps lengths in 1/1440 inch (15 to a pixel at 96
// dots per inch); the window works in pixels.

/// A stored length in pixels at `dpi`, rounded to the nearest pixel.
int PixelsFromStoredLength(double stored, double dpi);
/// Pixels at `dpi` as a stored length.
double StoredLengthFromPixels(int pixels, double dpi);

}  // namespace tessarel
