#pragma once

#include <QByteArray>
#include <QString>

#include "book/help_compiler_run.h"

namespace tessarel {

/// The lines of the compiler's output that report an error or a warning.
struct CompilerMessages {
    int errors = 0;
    int warnings = 0;
};
CompilerMessages CountCompilerMessages(const QByteArray& output);
/// The build log's reason for a compile that gave a compiled file (or, when
/// `unchanged`, for the file of the last compile, which stands), naming the
/// errors and warnings the compiler reported.
QString CompiledHelpReason(const CompilerMessages& messages, bool unchanged = false);

/// The build log's reason for a compile that did not give a compiled file.
QString CompileFailureReason(const CompileOutcome& outcome);

}  // namespace tessarel
