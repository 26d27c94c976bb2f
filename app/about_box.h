#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tessarel {

/// Help, About: version, copyright, support address and the maker's web page.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* owner);

    QLabel* lblVersion;
    QLabel* lblDescription;
    QLabel* lblSupport;
    QLabel* lblCompany;
    QPushButton* cmdOK;
};

/// The copyright line of the about box.
QString CopyrightLine();

}  // namespace tessarel
