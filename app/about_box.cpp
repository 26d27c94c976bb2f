#include "app/about_box.h"

#include "app/icons.h"
#include "app/main_commands.h"
#include "app/window_utilities.h"
#include "support/error_report.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessarel {

namespace {
constexpr int kHeight = 173;
}

QString CopyrightLine() { return QStringLiteral("Copyright (c) The Tessarel developers."); }

QString LicenceLine() {
    return QStringLiteral(
        "Free software under the GNU General Public License, version 3 or later "
        "(GPL-3.0-or-later), with ABSOLUTELY NO WARRANTY.");
}

AboutBox::AboutBox(QWidget* owner)
    : QDialog(owner),
      versionLabel(new QLabel(this)),
      copyrightLabel(new QLabel(this)),
      licenceLabel(new QLabel(this)),
      supportLabel(new QLabel(this)),
      makerLabel(new QLabel(this)),
      okButton(new QPushButton(QStringLiteral("OK"), this)) {
    setObjectName(QStringLiteral("AboutBox"));
    setModal(true);
    MakeTopmost(this);
    setWindowTitle(QStringLiteral("About Tessarel"));
    versionLabel->setText(QStringLiteral("Version ") + VersionText());
    copyrightLabel->setText(CopyrightLine());
    copyrightLabel->setWordWrap(true);
    supportLabel->setText(SupportAddress());
    licenceLabel->setTextFormat(Qt::RichText);
    licenceLabel->setWordWrap(true);
    licenceLabel->setText(LicenceLine().toHtmlEscaped() + QStringLiteral(" <a href=\"licence\">Read the licence</a>"));
    licenceLabel->setTextInteractionFlags(Qt::TextBrowserInteraction);
    connect(licenceLabel, &QLabel::linkActivated, this, &AboutBox::licenceRequested);

    // The maker's address, blue and underlined with a hand pointer; it opens
    // the product's overview page.
    makerLabel->setTextFormat(Qt::RichText);
    makerLabel->setText(QStringLiteral("<a href=\"tag\" style=\"color:#0000ff; text-decoration:underline\">") +
                        MakerAddress().toHtmlEscaped() + QStringLiteral("</a>"));
    makerLabel->setCursor(Qt::PointingHandCursor);
    makerLabel->setProperty("tag", ProductOverviewAddress());
    connect(makerLabel, &QLabel::linkActivated, this, [this] { ShellOpen(makerLabel->property("tag").toString()); });

    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon().pixmap(48, 48));
    auto* texts = new QVBoxLayout;
    auto* title = new QLabel(QStringLiteral("<b>Tessarel</b>"), this);
    texts->addWidget(title);
    texts->addWidget(versionLabel);
    texts->addWidget(copyrightLabel);
    texts->addWidget(licenceLabel);
    texts->addWidget(supportLabel);
    texts->addWidget(makerLabel);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addStretch();
    layout->addLayout(buttons);

    // Wide enough that the licence's words wrap into two lines, not six.
    setMinimumWidth(480);
    resize(480, kHeight);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace tessarel
