#include "book/html_help_compiler.h"

#include "support/environment.h"
#include "support/error_report.h"
#include "support/file_functions.h"
#include "support/preferences.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace tessarel {

QString HtmlHelpCompilerName() {
#ifdef Q_OS_WIN
    return QStringLiteral("hhc.exe");
#else
    return QStringLiteral("chmcmd");
#endif
}

QString FindHtmlHelpCompiler(const Environment& env) {
    const QString name = HtmlHelpCompilerName();
    const QString folder = NativeSeparators(
        env.preferences.ReadPreference(prefs::kProject, prefs::kCompilerPath, prefs::DefaultCompilerPath()));
    // An empty folder would turn the name into a path relative to the current folder.
    if (!folder.isEmpty()) {
        const QFileInfo configured(WithTrailingBackslash(folder) + name);
        if (configured.isFile() && configured.isExecutable()) {
            return configured.filePath();
        }
    }
    return QStandardPaths::findExecutable(name);
}

CompileOutcome CompileHtmlHelp(Environment& env, const QString& helpFolder) {
    CompileOutcome outcome;
    for (const char* file : {"help.hhp", "index.hhk", "contents.hhc"}) {
        if (!FileExists(WithTrailingBackslash(helpFolder) + QString::fromLatin1(file))) {
            return outcome;
        }
    }
    const QString compiler = FindHtmlHelpCompiler(env);
    if (compiler.isEmpty()) {
        outcome.compilerMissing = true;
        ShowMessage(env.ui, QStringLiteral("HTML Help Compiler Not Found"),
                    QStringLiteral("The HTML Help Workshop has not been found. Please") +
                        QStringLiteral(" specify the installation path for this application") +
                        QStringLiteral(" in the Settings dialog, or download and install the") +
                        QStringLiteral(" application as explained in the next help screen."));
        env.ui.showHelpTopic(ProgramFolderFile(env.paths, QStringLiteral("help.chm::/html_help.txt.htm")));
        return outcome;
    }
    outcome.started = env.ui.startProgram(compiler, {QStringLiteral("help.hhp")}, helpFolder);
    return outcome;
}

}  // namespace tessarel
