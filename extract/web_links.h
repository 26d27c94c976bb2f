#pragma once

#include <QString>

namespace tessarel {

/// Turns every bare "http://" and "https://" address that ends at a comma,
/// semicolon, blank or CR into a link whose target hides its colon and slashes.
void LinkWebAddresses(QString& text);

}  // namespace tessarel
