#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace tessarel {

/// One record of the command-line table. Positions are 1-based in
/// CommandLineText; 0 when unset.
struct CommandLineParameter {
    qsizetype NameStart = 0;
    qsizetype NameEnd = 0;
    qsizetype ValueStart = 0;
    qsizetype ValueEnd = 0;
    QString ParamName;
    QString ParamValue;
};

/// The command line split into a first parameter and up to nine options
/// ("-name value"). The parser knows no option names; callers ask afterwards.
class CommandLine {
public:
    static constexpr int kMaxOptions = 9;

    /// Clears the table and parses `text`. Options beyond the ninth are ignored.
    void parse(const QString& text);
    void clear();
    QString firstParameter() const { return Parameters[0].ParamValue; }
    /// Exact, case-sensitive match of the trimmed name against the options given.
    bool isOptionPresent(const QString& name) const;

    QString CommandLineText;
    int ParameterCount = 0;  ///< -1 for an empty command line
    std::array<CommandLineParameter, kMaxOptions + 1> Parameters;
};

/// The path rules for the first parameter: a bare file name lies in the current
/// folder; a relative folder is entered below the current folder and the file
/// taken from there; an absolute folder is entered and the parameter kept as it
/// is. `enterFolder` changes the current directory and returns the new one.
QString ResolveCommandLinePath(const QString& firstParameter, const QString& currentFolder,
                               const std::function<QString(const QString& folder)>& enterFolder);

/// The raw command line of a program started with `arguments` (without the
/// program itself): the arguments joined by single spaces.
QString CommandLineTextOf(const QStringList& arguments);

/// True when one of `arguments` (without the program itself) is "--help" or
/// "-h": the program prints UsageText() and ends instead of opening a window.
bool AsksForUsage(const QStringList& arguments);
/// What `tessarel --help` prints.
QString UsageText();

}  // namespace tessarel
