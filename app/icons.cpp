#include "app/icons.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>

namespace tessarel {

namespace {

constexpr int kIconSize = 32;

QPixmap Canvas() {
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

/// A push pin: the "On Top" switch.
QIcon PinIcon() {
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 20), QPointF(16, 30));
    p.setPen(QPen(QColor(0x80, 0x10, 0x10), 1.5));
    p.setBrush(QColor(0xd0, 0x30, 0x30));
    p.drawRoundedRect(QRectF(9, 3, 14, 7), 2, 2);
    p.drawRect(QRectF(12, 10, 8, 7));
    p.drawRoundedRect(QRectF(6, 16, 20, 5), 2, 2);
    return QIcon(pixmap);
}

/// A house: the "Home" button, which goes back to the book's start page.
QIcon HomeIcon() {
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor outline(0x30, 0x40, 0x60);
    p.setPen(QPen(outline, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xf4, 0xf1, 0xe8));
    p.drawRect(QRectF(8, 15, 16, 13));  // the walls
    p.setBrush(QColor(0xc0, 0x4a, 0x30));
    QPainterPath roof;
    roof.moveTo(3, 16);
    roof.lineTo(16, 4);
    roof.lineTo(29, 16);
    roof.closeSubpath();
    p.drawPath(roof);
    p.setBrush(outline);
    p.drawRect(QRectF(14, 20, 5, 8));  // the door
    return QIcon(pixmap);
}

QIcon MarkIcon(RowStatus status) {
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    if (status == RowStatus::Warning) {
        // An amber triangle with "!": done, but worth a look.
        QPainterPath triangle;
        triangle.moveTo(16, 2);
        triangle.lineTo(30, 28);
        triangle.lineTo(2, 28);
        triangle.closeSubpath();
        p.setBrush(QColor(0xe0, 0x9a, 0x10));
        p.drawPath(triangle);
        p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 11), QPointF(16, 18));
        p.drawPoint(QPointF(16, 24));
        return QIcon(pixmap);
    }
    const bool success = status == RowStatus::Ok;
    p.setBrush(success ? QColor(0x2e, 0x9e, 0x44) : QColor(0xc6, 0x28, 0x28));
    p.drawEllipse(QRectF(2, 2, 28, 28));
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (success) {
        QPainterPath tick;
        tick.moveTo(9, 16);
        tick.lineTo(14, 21);
        tick.lineTo(23, 11);
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    } else {
        p.drawLine(QPointF(11, 11), QPointF(21, 21));
        p.drawLine(QPointF(21, 11), QPointF(11, 21));
    }
    return QIcon(pixmap);
}

/// The sizes of the program icon's artwork, as installed in the icon theme.
constexpr int kProgramIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

}  // namespace

QIcon ToolbarIcon(const QString& key) {
    QStyle* style = QApplication::style();
    if (key == QStringLiteral("new")) return style->standardIcon(QStyle::SP_FileIcon);
    if (key == QStringLiteral("open")) return style->standardIcon(QStyle::SP_DialogOpenButton);
    if (key == QStringLiteral("save")) return style->standardIcon(QStyle::SP_DialogSaveButton);
    if (key == QStringLiteral("build")) return style->standardIcon(QStyle::SP_MediaPlay);
    if (key == QStringLiteral("settings")) return style->standardIcon(QStyle::SP_FileDialogDetailedView);
    if (key == QStringLiteral("index")) return HomeIcon();
    if (key == QStringLiteral("back")) return style->standardIcon(QStyle::SP_ArrowBack);
    if (key == QStringLiteral("forward")) return style->standardIcon(QStyle::SP_ArrowForward);
    if (key == QStringLiteral("stop")) return style->standardIcon(QStyle::SP_BrowserStop);
    if (key == QStringLiteral("ontop")) return PinIcon();
    return {};
}

QIcon ProgressIcon(RowStatus status) { return MarkIcon(status); }

QIcon ProgramIcon() {
    // The artwork built into the program, drawn for each size rather than scaled
    // from one; the theme's copy under the application id is the same picture.
    QIcon icon;
    for (int size : kProgramIconSizes) {
        icon.addFile(QStringLiteral(":/icons/%1/tessarel.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace tessarel
