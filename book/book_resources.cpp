#include "book/book_resources.h"

#include "pages/page_frame.h"

#include <QFile>

namespace tessarel {

void AddResourceLinesTo(QString& buffer, const QString& name) {
    QFile file(kBookResources + name);
    if (!file.open(QIODevice::ReadOnly)) {
        return;  // compiled in: only a broken build lacks it
    }
    // ASCII files: Latin-1 reads them as the pages are written.
    const QString text = QString::fromLatin1(file.readAll());
    QStringView rest(text);
    while (!rest.isEmpty()) {
        const qsizetype end = rest.indexOf(u'\n');
        QStringView line = end < 0 ? rest : rest.first(end);
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        AddLineTo(buffer, line);
        rest = end < 0 ? QStringView() : rest.sliced(end + 1);
    }
}

}  // namespace tessarel
