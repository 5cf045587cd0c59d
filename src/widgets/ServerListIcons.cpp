#include "widgets/ServerListIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>

namespace {

constexpr int Size = 16;

// A sheet of paper with a folded corner, the base of every file image.
void drawPage(QPainter& p, const QColor& paper) {
    QPainterPath page;
    page.moveTo(3, 1);
    page.lineTo(10, 1);
    page.lineTo(13, 4);
    page.lineTo(13, 15);
    page.lineTo(3, 15);
    page.closeSubpath();
    p.setPen(QColor(96, 96, 96));
    p.setBrush(paper);
    p.drawPath(page);
    p.drawLine(10, 1, 10, 4);
    p.drawLine(10, 4, 13, 4);
}

void drawFolder(QPainter& p) {
    p.setPen(QColor(150, 110, 20));
    p.setBrush(QColor(240, 200, 80));
    p.drawRect(1, 4, 14, 10);
    p.setBrush(QColor(250, 220, 120));
    p.drawRect(1, 2, 6, 2);
}

void drawPicture(QPainter& p) {
    drawPage(p, Qt::white);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 180, 240));
    p.drawRect(4, 6, 8, 4);
    p.setBrush(QColor(60, 160, 60));
    p.drawPolygon(QPolygon({QPoint(4, 13), QPoint(7, 9), QPoint(10, 13)}));
    p.setBrush(QColor(240, 200, 40));
    p.drawEllipse(QPoint(10, 7), 1, 1);
}

void drawMedia(QPainter& p) {
    drawPage(p, QColor(255, 240, 240));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 40));
    p.drawPolygon(QPolygon({QPoint(6, 6), QPoint(11, 9), QPoint(6, 12)}));
}

void drawArchive(QPainter& p) {
    p.setPen(QColor(110, 70, 30));
    p.setBrush(QColor(200, 150, 90));
    p.drawRect(2, 3, 12, 11);
    p.setPen(QColor(60, 60, 60));
    for (int y = 4; y < 13; y += 2)
        p.drawLine(7, y, 9, y);
}

void drawDocument(QPainter& p) {
    drawPage(p, Qt::white);
    p.setPen(QColor(40, 80, 200));
    for (int y = 6; y <= 13; y += 2)
        p.drawLine(5, y, 11, y);
}

QIcon paint(void (*draw)(QPainter&)) {
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    draw(p);
    p.end();
    return QIcon(pixmap);
}

const std::array<QIcon, ServerListIcons::Count>& images() {
    static const std::array<QIcon, ServerListIcons::Count> all = {
        paint(drawFolder),  paint([](QPainter& p) { drawPage(p, Qt::white); }),
        paint(drawPicture), paint(drawMedia),
        paint(drawArchive), paint(drawDocument),
    };
    return all;
}

} // namespace

QIcon ServerListIcons::image(int index) {
    if (index < 0 || index >= Count)
        index = PlainFile;
    return images()[std::size_t(index)];
}
