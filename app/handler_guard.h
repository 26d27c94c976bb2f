#pragma once

#include "app/legacy_names.h"

#include <functional>

namespace tessarel {

struct Environment;
class FrontEnd;

/// Thrown once a critical error has been reported: the program is ending, so
/// every handler up the stack stops instead of going on with its next step.
struct ProgramEnding {};

/// Runs an event handler that reports any error it meets to the error reporter
/// under its site; the front end then ends the program.
void RunReported(Environment& env, FrontEnd& front, const ErrorSite& site, const std::function<void()>& body);
/// Runs a handler that ignores its errors; the caller goes on with its next step.
void RunIgnoringErrors(const std::function<void()>& body);
/// The outermost guard of a window's event handler: nothing escapes into the
/// event loop. Returns false when the handler ended on an error.
bool RunEventHandler(const std::function<void()>& body);

}  // namespace tessarel
