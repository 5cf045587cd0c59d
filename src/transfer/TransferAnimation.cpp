#include "transfer/TransferAnimation.h"

#include <QPainter>
#include <QPainterPath>
#include <QTimer>

#include <cmath>

namespace {

void drawFolder(QPainter& p, const QRectF& r) {
    p.setPen(QColor(150, 110, 20));
    p.setBrush(QColor(250, 220, 120));
    p.drawRect(QRectF(r.left(), r.top(), r.width() * 0.45, r.height() * 0.2));
    p.setBrush(QColor(240, 200, 80));
    p.drawRect(QRectF(r.left(), r.top() + r.height() * 0.2, r.width(), r.height() * 0.8));
}

void drawSheet(QPainter& p, const QPointF& centre) {
    const QRectF r(centre.x() - 6, centre.y() - 8, 12, 16);
    QPainterPath page;
    page.moveTo(r.topLeft());
    page.lineTo(r.right() - 4, r.top());
    page.lineTo(r.right(), r.top() + 4);
    page.lineTo(r.bottomRight());
    page.lineTo(r.bottomLeft());
    page.closeSubpath();
    p.setPen(QColor(90, 90, 90));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.setPen(QColor(40, 80, 200));
    for (qreal y = r.top() + 5; y < r.bottom() - 2; y += 3)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

} // namespace

TransferAnimation::TransferAnimation(QWidget* parent) : QWidget(parent), m_timer(new QTimer(this)) {
    setMinimumSize(sizeHint());
    m_timer->setInterval(60);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_frame = (m_frame + 1) % FrameCount;
        update();
    });
}

void TransferAnimation::showEvent(QShowEvent* event) {
    m_timer->start();
    QWidget::showEvent(event);
}

void TransferAnimation::hideEvent(QHideEvent* event) {
    m_timer->stop();
    QWidget::hideEvent(event);
}

void TransferAnimation::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal h = height();
    const qreal folderW = h * 0.9;
    const QRectF left(4, h * 0.35, folderW, h * 0.6);
    const QRectF right(width() - folderW - 4, h * 0.35, folderW, h * 0.6);
    drawFolder(p, left);
    drawFolder(p, right);
    // The sheet rises out of one folder and drops into the other along an arc.
    const qreal t = qreal(m_frame) / (FrameCount - 1);
    const qreal x = left.center().x() + (right.center().x() - left.center().x()) * t;
    const qreal y = left.top() - (h * 0.3) * std::sin(t * M_PI) + 2;
    drawSheet(p, QPointF(x, y));
}
