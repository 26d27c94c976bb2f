#include "app/busy_window.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace tessarel {

frmLoad::frmLoad(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      lblTitle(new QLabel(this)),
      lblCurrent(new QLabel(this)),
      ProgressBar1(new QProgressBar(this)) {
    setObjectName(QStringLiteral("frmLoad"));
    setWindowTitle(QStringLiteral("Tessarel"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addWidget(lblCurrent);
    layout->addWidget(ProgressBar1);
    ProgressBar1->setTextVisible(false);
    setMinimumWidth(320);
}

void frmLoad::setTexts(const QString& title, const QString& current) {
    lblTitle->setText(title);
    lblCurrent->setText(current);
}

void frmLoad::setMaximum(int maximum) { ProgressBar1->setRange(0, maximum); }

void frmLoad::setValue(int value) { ProgressBar1->setValue(value); }

}  // namespace tessarel
