#pragma once

#include <QFrame>

// A field that shows a colour setting (0x00BBGGRR) by filling itself with it.
class ColourField : public QFrame {
    Q_OBJECT
public:
    explicit ColourField(QWidget* parent = nullptr);

    int colour() const { return m_colour; }
    // Takes the colour and repaints this field only.
    void setColour(int bgr);

    QSize sizeHint() const override { return {48, 20}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_colour = 0;
};
