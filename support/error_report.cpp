#include "support/error_report.h"

#include "support/environment.h"
#include "support/paths.h"
#include "support/string_functions.h"
#include "support/text_file.h"

#include <QDir>
#include <QStringList>

namespace tessarel {

QString VersionText() {
    return QString::number(TESSAREL_VERSION_MAJOR) + QLatin1Char('.') + QString::number(TESSAREL_VERSION_MINOR) +
           QLatin1Char('.') + QString::number(TESSAREL_VERSION_PATCH);
}

QString SupportAddress() { return QStringLiteral("support@tessarel.example"); }

void ReportError(Environment& env, const QString& procedure, const QString& module, const QString& errorNumber,
                 const QString& description) {
    const QStringList lines{
        QString(24, QLatin1Char('-')),
        ShortDateTimeText(QDateTime::currentDateTime()),
        QStringLiteral("Version ") + VersionText(),
        QStringLiteral("Module: ") + module,
        procedure,
        errorNumber + QStringLiteral(" -> ") + description,
    };
    // A log that cannot be written must not stop the message or the orderly end.
    QDir().mkpath(env.paths.dataFolder);
    AppendTextFile(DataFolderFile(env.paths, QStringLiteral("error.log")), lines.join(kCrLf) + kCrLf,
                   FileEncoding::Utf8);
    env.ui.message(QStringLiteral("Critical Error Report"),
                   QStringLiteral("An unexpected error has occurred.") + kCrLf +
                       QStringLiteral("You may report this issue to ") + SupportAddress() + kCrLf +
                       QStringLiteral("Tessarel will close now."),
                   MessageIcon::Critical, MessageButtons::Ok);
}

void ShowMessage(UserInterface& ui, const QString& title, const QString& text) {
    ui.message(title, text, MessageIcon::None, MessageButtons::Ok);
}

}  // namespace tessarel
