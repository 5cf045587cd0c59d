#pragma once

#include "transfer/TransferProgress.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;
class QPushButton;
class TransferAnimation;

// "進行状況": the modeless window of an upload or download. It shows an animation, the file being
// moved, the counter of the selected lines, the bytes of the current file (moved or converted)
// and those of the whole batch, each with a bar, and offers "中止". The button only records the
// wish; the transfer loop asks the question and stops.
class CProgressDlg : public QDialog, public TransferProgress {
    Q_OBJECT
public:
    explicit CProgressDlg(QWidget* owner = nullptr);

    // Centres the window on the screen's work area, above the other windows, and starts the
    // animation.
    void start();

    QString fileNameText() const;
    QString counterText() const;
    QString bytesText() const { return m_shownBytes; }
    QString batchText() const { return m_shownBatch; }

    void showItem(const QString& name, const QString& counter) override;
    void showBytes(qint64 done, qint64 total) override;
    void showBatch(int filesDone, int files, qint64 bytesDone, qint64 bytes) override;
    void processEvents() override;
    bool cancelRequested() const override { return m_cancelRequested; }
    bool takeCancelPress() override;
    void hideWindow() override;

signals:
    void itemShown(const QString& name, const QString& counter);
    void bytesShown(qint64 done, qint64 total);
    void batchShown(const QString& text);
    void cancelPressed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void pressCancel();
    void refresh(bool now = false);

    static constexpr qint64 RefreshInterval = 30; // milliseconds
    static constexpr int BarSteps = 1000;

    TransferAnimation* m_animation = nullptr;
    QLabel* m_fileName = nullptr;
    QLabel* m_counter = nullptr;
    QProgressBar* m_bytes = nullptr;
    QLabel* m_bytesLine = nullptr;
    QLabel* m_batchLine = nullptr;
    QProgressBar* m_batch = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_cancelRequested = false;
    bool m_unansweredPress = false;
    QString m_shownName;
    QString m_shownCounter = QStringLiteral("1000/1000");
    int m_barValue = 0; // of BarSteps; -1 while the size is not known
    QString m_shownBytes;
    QString m_shownBatch;
    int m_batchValue = 0; // of BarSteps
    QElapsedTimer m_sinceEvents;
    QElapsedTimer m_sinceRefresh;
};
