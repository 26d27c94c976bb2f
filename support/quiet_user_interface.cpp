#include "support/quiet_user_interface.h"

#include <algorithm>
#include <cstdio>

namespace tessarel {

MessageAnswer QuietUserInterface::message(const QString& title, const QString& text, MessageIcon icon,
                                          MessageButtons buttons) {
    if (echoMessages) {
        std::fprintf(stderr, "message: %s: %s\n", qPrintable(title), qPrintable(text));
    }
    messages.push_back({title, text, icon});
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel ? MessageAnswer::Yes
                                                                                      : MessageAnswer::Ok;
}

void QuietUserInterface::showLogRow(const QString& reason, const QString& item, RowStatus status, const QString& title,
                                    const QString& output) {
    log.push_back({reason, item, status, title, output});
}

void QuietUserInterface::show(const QString& title, const QString&, int maximum) {
    busyShown = true;
    ++busyShows;
    busyTitle = title;
    busyMaximum = maximum;
}

void QuietUserInterface::setValue(int value) {
    if (!busyShown) {
        busyFaults << QStringLiteral("busy value %1 set while hidden").arg(value);
    } else if (value < 0 || value > busyMaximum) {
        busyFaults << QStringLiteral("busy value %1 outside 0..%2").arg(value).arg(busyMaximum);
    }
    busyValue = value;
}

void QuietUserInterface::reset() {
    messages.clear();
    log.clear();
    busyShown = false;
    busyShows = busyMaximum = busyValue = 0;
    busyTitle.clear();
    busyFaults.clear();
}

int QuietUserInterface::failedRows() const {
    return static_cast<int>(
        std::count_if(log.begin(), log.end(), [](const LogRow& row) { return row.status == RowStatus::Failed; }));
}

}  // namespace tessarel
