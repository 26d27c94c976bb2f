#pragma once

#include <QString>

namespace tessarel {

class PassContext;

/// Turns every bare "http://" and "https://" address that ends at a comma,
/// semicolon, blank or CR into a link whose target hides its colon and slashes.
void LinkWebAddresses(QString& text);
/// The same, the result built in the context's spare buffer (which may be null).
void LinkWebAddresses(QString& text, PassContext* context);

}  // namespace tessarel
