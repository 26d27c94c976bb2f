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

QIcon MarkIcon(bool success) {
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
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

/// A page with a folded corner and lines of text: the program.
QIcon BookIcon() {
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x1f, 0x4e, 0x79), 1.5));
    p.setBrush(QColor(0xe8, 0xf1, 0xfa));
    QPainterPath page;
    page.moveTo(6, 2);
    page.lineTo(20, 2);
    page.lineTo(27, 9);
    page.lineTo(27, 30);
    page.lineTo(6, 30);
    page.closeSubpath();
    p.drawPath(page);
    p.drawLine(QPointF(20, 2), QPointF(20, 9));
    p.drawLine(QPointF(20, 9), QPointF(27, 9));
    p.setPen(QPen(QColor(0x3a, 0x7c, 0xbd), 2));
    for (int y = 14; y <= 26; y += 4) {
        p.drawLine(QPointF(10, y), QPointF(23, y));
    }
    return QIcon(pixmap);
}

}  // namespace

QIcon ToolbarIcon(const QString& key) {
    QStyle* style = QApplication::style();
    if (key == QStringLiteral("new")) return style->standardIcon(QStyle::SP_FileIcon);
    if (key == QStringLiteral("open")) return style->standardIcon(QStyle::SP_DialogOpenButton);
    if (key == QStringLiteral("save")) return style->standardIcon(QStyle::SP_DialogSaveButton);
    if (key == QStringLiteral("build")) return style->standardIcon(QStyle::SP_MediaPlay);
    if (key == QStringLiteral("settings")) return style->standardIcon(QStyle::SP_FileDialogDetailedView);
    if (key == QStringLiteral("index")) return style->standardIcon(QStyle::SP_DirHomeIcon);
    if (key == QStringLiteral("back")) return style->standardIcon(QStyle::SP_ArrowBack);
    if (key == QStringLiteral("forward")) return style->standardIcon(QStyle::SP_ArrowForward);
    if (key == QStringLiteral("stop")) return style->standardIcon(QStyle::SP_BrowserStop);
    if (key == QStringLiteral("ontop")) return PinIcon();
    return {};
}

QIcon ProgressIcon(bool success) { return MarkIcon(success); }

QIcon ProgramIcon() { return BookIcon(); }

}  // namespace tessarel
