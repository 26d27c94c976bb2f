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
constexpr int kHeightTwips = 2595;
}

QString CopyrightLine() { return QStringLiteral("Copyright (c) The Tessarel developers. All rights reserved."); }

frmAbout::frmAbout(QWidget* owner)
    : QDialog(owner),
      lblVersion(new QLabel(this)),
      lblDescription(new QLabel(this)),
      lblSupport(new QLabel(this)),
      lblCompany(new QLabel(this)),
      cmdOK(new QPushButton(QStringLiteral("OK"), this)) {
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);
    MakeTopmost(this);
    setWindowTitle(QStringLiteral("About Tessarel"));
    lblVersion->setText(QStringLiteral("Version ") + VersionText());
    lblDescription->setText(CopyrightLine());
    lblDescription->setWordWrap(true);
    lblSupport->setText(SupportAddress());

    // The maker's address, blue and underlined with a hand pointer; it opens
    // the product's overview page.
    lblCompany->setTextFormat(Qt::RichText);
    lblCompany->setText(QStringLiteral("<a href=\"tag\" style=\"color:#0000ff; text-decoration:underline\">") +
                        MakerAddress().toHtmlEscaped() + QStringLiteral("</a>"));
    lblCompany->setCursor(Qt::PointingHandCursor);
    lblCompany->setProperty("tag", ProductOverviewAddress());
    connect(lblCompany, &QLabel::linkActivated, this, [this] { ShellOpen(lblCompany->property("tag").toString()); });

    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon().pixmap(48, 48));
    auto* texts = new QVBoxLayout;
    auto* title = new QLabel(QStringLiteral("<b>Tessarel</b>"), this);
    texts->addWidget(title);
    texts->addWidget(lblVersion);
    texts->addWidget(lblDescription);
    texts->addWidget(lblSupport);
    texts->addWidget(lblCompany);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addStretch();
    layout->addLayout(buttons);

    resize(420, TwipsToPixels(kHeightTwips, ScreenDpi(this)));
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace tessarel
