#pragma once

#include <QWidget>

class QTimer;

// The picture of the progress window: a sheet of paper flying from one folder to another, over
// and over, while the window is shown.
class TransferAnimation : public QWidget {
    Q_OBJECT
public:
    explicit TransferAnimation(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {220, 48}; }
    int frame() const { return m_frame; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    static constexpr int FrameCount = 24;

    QTimer* m_timer = nullptr;
    int m_frame = 0;
};
