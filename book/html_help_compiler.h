#pragma once

#include <QString>

namespace tessarel {

struct Environment;

/// The HTML Help compiler's program file on this platform.
QString HtmlHelpCompilerName();
/// The compiler in the folder of the preference "htmlHelpCompilerPath", else on
/// the PATH; "" when there is none.
QString FindHtmlHelpCompiler(const Environment& env);

struct CompileOutcome {
    bool started = false;
    bool compilerMissing = false;
};

/// Starts the compiler on "help.hhp" in `helpFolder` (the destination's "HTML Help",
/// also the compiler's working folder) without waiting for it. Does
/// nothing unless the project, contents and index files are all there. A missing
/// compiler is explained to the user, with the help topic on how to install one.
CompileOutcome CompileHtmlHelp(Environment& env, const QString& helpFolder);

}  // namespace tessarel
