#include "app/busy_window.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace tessarel {

BusyWindow::BusyWindow(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      titleLabel(new QLabel(this)),
      currentLabel(new QLabel(this)),
      progressBar(new QProgressBar(this)) {
    setObjectName(QStringLiteral("BusyWindow"));
    setWindowTitle(QStringLiteral("Tessarel"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(titleLabel);
    layout->addWidget(currentLabel);
    layout->addWidget(progressBar);
    progressBar->setTextVisible(false);
    setMinimumWidth(320);
}

void BusyWindow::setTexts(const QString& title, const QString& current) {
    titleLabel->setText(title);
    currentLabel->setText(current);
}

void BusyWindow::setMaximum(int maximum) { progressBar->setRange(0, maximum); }

void BusyWindow::setValue(int value) { progressBar->setValue(value); }

}  // namespace tessarel
