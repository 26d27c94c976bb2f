#pragma once

#include "extract/document_model.h"
#include "extract/pass_context.h"

#include <QString>
#include <QStringList>
#include <QStringView>

namespace tessarel {

/// Translates the sections for the page one at a time, running every text
/// through working buffers that keep their room from section to section.
class SectionTranslator {
public:
    /// A section's text as the page shows it: with 100 guard spaces, its inline
    /// tags ("@r", "@goto", "@link", "@figure", web addresses, the simple
    /// formatting codes and the at-sign markers) translated. Valid until the
    /// next call.
    QStringView text(const QString& text);
    /// The same for a text that is not needed afterwards: it is taken over
    /// (or copied and released), so the page never holds it twice.
    QStringView take(QString& text);
    /// A section's name as the page shows it: trimmed, its simple tags and
    /// at-sign markers translated.
    static QString name(const QString& name);
    /// Every "@figure" source translated so far, as written.
    const QStringList& figures() const { return figures_; }

private:
    QStringView translateWorking();

    PassContext context_;
    QString working_;
    QStringList figures_;
};

/// The "@figure" sources of a page whose image file is not there, each once,
/// in the order written. A source is looked up relative to `pageFolder`, as the
/// browser does; web addresses are not checked.
QStringList MissingFigureFiles(const QStringList& sources, const QString& pageFolder);

}  // namespace tessarel
