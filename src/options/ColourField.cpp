#include "options/ColourField.h"

#include "widgets/EditorAppearance.h"

#include <QColor>
#include <QPainter>

ColourField::ColourField(QWidget* parent) : QFrame(parent) {
    setMinimumSize(40, 18);
}

void ColourField::setColour(int bgr) {
    m_colour = bgr;
    update();
}

void ColourField::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(Qt::black));
    painter.setBrush(colorFromColorRef(m_colour));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
