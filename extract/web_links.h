#pragma once

#include <QString>

namespace tessarel {

class PassContext;

/// Turns every bare "http://" and "https://" address that ends at a comma,
/// semicolon, blank or CR into a link whose target hides its colon and
/// slashes. With a context (which may be null), the result is built in its
/// spare buffer.
void LinkWebAddresses(QString& text, PassContext* context = nullptr);

}  // namespace tessarel
