#include "sheet/CProgDlg.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int Scale = 1000;

QProgressBar* addBar(QDialog* dialog, QVBoxLayout* layout, const QString& label, const char* name) {
    layout->addWidget(new QLabel(label, dialog));
    auto* bar = new QProgressBar(dialog);
    bar->setObjectName(QLatin1String(name));
    bar->setRange(0, Scale);
    bar->setTextVisible(false);
    layout->addWidget(bar);
    return bar;
}

int scaled(qint64 value, qint64 range) {
    return range <= 0 ? 0 : int(std::min<qint64>(value, range) * Scale / range);
}

} // namespace

CProgDlg::CProgDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Progress"));
    setWindowTitle(QStringLiteral("スプレット入力"));
    auto* layout = new QVBoxLayout(this);
    m_read = addBar(this, layout, QStringLiteral("データ読込"), "Read");
    m_cells = addBar(this, layout, QStringLiteral("セル作成"), "Cells");
    setMinimumWidth(320);
    m_sinceRepaint.start();
}

void CProgDlg::setReadRange(qint64 bytes) {
    m_readRange = bytes;
    repaintNow(true);
}

void CProgDlg::setRead(qint64 bytes) {
    m_readValue = bytes;
    repaintNow();
}

void CProgDlg::setCellRange(qint64 rows) {
    m_cellRange = rows;
    repaintNow(true);
}

void CProgDlg::setCells(qint64 rows) {
    m_cellValue = rows;
    repaintNow();
}

void CProgDlg::repaintNow(bool force) {
    if (!force && m_sinceRepaint.elapsed() < RepaintInterval)
        return;
    m_sinceRepaint.restart();
    m_read->setValue(scaled(m_readValue, m_readRange));
    m_cells->setValue(scaled(m_cellValue, m_cellRange));
    // Loading cannot be cancelled: only painting and what the window system asks for.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
