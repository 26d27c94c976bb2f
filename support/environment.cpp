#include "support/environment.h"

#include <QLocale>
#include <QRegularExpression>

namespace tessarel {

QDateTime BuildTimestamp() {
    bool ok = false;
    const qint64 epoch = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&ok);
    if (ok) {
        return QDateTime::fromSecsSinceEpoch(epoch, Qt::UTC);
    }
    return QDateTime::currentDateTime();
}

QString ShortDateTimeText(const QDateTime& when) {
    const QLocale locale;
    // The user's time format without a time zone name, as a clock shows it.
    static const QRegularExpression zone(QStringLiteral("\\s*t+"));
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(zone);
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), timeFormat.trimmed());
}

}  // namespace tessarel
