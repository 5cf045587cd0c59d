#pragma once

#include <QDialog>
#include <QElapsedTimer>

class QProgressBar;

// The loading progress of the spreadsheet: "データ読込" counts the bytes of line text read,
// "セル作成" the rows filled. Loading calls the setters as often as it likes; the windows are
// repainted only when some time has passed, so a fast load is not slowed by painting.
class CProgDlg : public QDialog {
    Q_OBJECT
public:
    explicit CProgDlg(QWidget* parent = nullptr);

    void setReadRange(qint64 bytes);
    void setRead(qint64 bytes);
    void setCellRange(qint64 rows);
    void setCells(qint64 rows);

private:
    // Shows the latest values and lets the windows repaint, at most every RepaintInterval ms.
    void repaintNow(bool force = false);

    static constexpr int RepaintInterval = 50;
    QProgressBar* m_read = nullptr;
    QProgressBar* m_cells = nullptr;
    // Bars count in steps of 1/Scale of their range, so that ranges beyond int fit.
    qint64 m_readRange = 1, m_cellRange = 1;
    qint64 m_readValue = 0, m_cellValue = 0;
    QElapsedTimer m_sinceRepaint;
};
