#include "transfer/CProgressDlg.h"

#include "transfer/TransferAnimation.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString number(qint64 n) {
    return QLocale(QLocale::Japanese, QLocale::Japan).toString(n);
}

QString bytesOf(qint64 done, qint64 total) {
    if (total <= 0)
        return QStringLiteral("%1 バイト").arg(number(done));
    return QStringLiteral("%1 / %2 バイト").arg(number(done), number(total));
}

int barValue(qint64 done, qint64 total, int steps) {
    return total <= 0 ? -1 : int(std::clamp<qint64>(done * steps / total, 0, steps));
}

// A label that shows nothing until it has something to say.
QLabel* line(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QProgressBar* bar(const char* name, int steps, QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QLatin1String(name));
    bar->setRange(0, steps);
    bar->setValue(0);
    return bar;
}

} // namespace

CProgressDlg::CProgressDlg(QWidget* owner) : QDialog(owner, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("Progress"));
    setWindowTitle(QStringLiteral("進行状況"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    m_animation = new TransferAnimation(this);
    m_animation->setObjectName(QStringLiteral("Animation"));
    m_fileName = new QLabel(this);
    m_fileName->setObjectName(QStringLiteral("FileName"));
    m_fileName->setMinimumWidth(260);
    m_fileName->setTextFormat(Qt::PlainText);
    m_counter = new QLabel(m_shownCounter, this);
    m_counter->setObjectName(QStringLiteral("Counter"));
    m_counter->setAlignment(Qt::AlignCenter);
    m_bytesLine = line("BytesLine", this);
    m_bytes = bar("Bytes", BarSteps, this);
    m_batchLine = line("BatchLine", this);
    // Wide enough for a batch of gigabytes from the start: the window does not grow mid-way.
    m_batchLine->setMinimumWidth(m_batchLine->fontMetrics().horizontalAdvance(
        QStringLiteral("9,999 / 9,999 ファイル　9,999,999,999 / 9,999,999,999 バイト")));
    m_batch = bar("Batch", BarSteps, this);
    m_cancel = new QPushButton(QStringLiteral("中止"), this);
    m_cancel->setObjectName(QStringLiteral("Cancel"));
    m_cancel->setAutoDefault(false);
    layout->addWidget(m_animation, 0, Qt::AlignHCenter);
    layout->addWidget(m_fileName);
    layout->addWidget(m_counter);
    layout->addWidget(m_bytesLine);
    layout->addWidget(m_bytes);
    layout->addWidget(m_batchLine);
    layout->addWidget(m_batch);
    layout->addWidget(m_cancel, 0, Qt::AlignHCenter);
    connect(m_cancel, &QPushButton::clicked, this, &CProgressDlg::pressCancel);
}

void CProgressDlg::start() {
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    raise();
    QCoreApplication::processEvents();
}

QString CProgressDlg::fileNameText() const {
    return m_shownName;
}

QString CProgressDlg::counterText() const {
    return m_shownCounter;
}

void CProgressDlg::showItem(const QString& name, const QString& counter) {
    m_shownName = name;
    m_shownCounter = counter;
    m_barValue = 0;
    m_shownBytes.clear();
    emit itemShown(name, counter);
    refresh();
}

void CProgressDlg::showBytes(qint64 done, qint64 total) {
    m_barValue = barValue(done, total, BarSteps);
    m_shownBytes = bytesOf(done, total);
    emit bytesShown(done, total);
    refresh();
}

void CProgressDlg::showBatch(int filesDone, int files, qint64 bytesDone, qint64 bytes) {
    m_batchValue = std::max(0, barValue(bytesDone, bytes, BarSteps));
    if (bytes <= 0 && files > 0) // files of no size: the files tell how far the batch is
        m_batchValue = filesDone * BarSteps / files;
    m_shownBatch = QStringLiteral("%1 / %2 ファイル　%3")
                       .arg(number(filesDone), number(files), bytesOf(bytesDone, bytes));
    emit batchShown(m_shownBatch);
    refresh();
}

void CProgressDlg::refresh(bool now) {
    // Many small files go by faster than anyone reads them, and a progress bar paints itself at
    // once on every visible step: the window is brought up to date a few dozen times a second
    // rather than for every file and every block.
    if (!now && m_sinceRefresh.isValid() && m_sinceRefresh.elapsed() < RefreshInterval)
        return;
    m_sinceRefresh.start();
    m_fileName->setText(m_shownName);
    m_counter->setText(m_shownCounter);
    m_bytesLine->setText(m_shownBytes);
    m_batchLine->setText(m_shownBatch);
    m_batch->setValue(m_batchValue);
    if (m_barValue < 0) {
        m_bytes->setRange(0, 0); // size unknown: the bar only shows that data moves
    } else {
        m_bytes->setRange(0, BarSteps);
        m_bytes->setValue(m_barValue);
    }
}

void CProgressDlg::processEvents() {
    if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < RefreshInterval)
        return;
    m_sinceEvents.start();
    refresh(true);
    QCoreApplication::processEvents();
}

bool CProgressDlg::takeCancelPress() {
    const bool pressed = m_unansweredPress;
    m_unansweredPress = false;
    return pressed;
}

void CProgressDlg::hideWindow() {
    hide();
}

void CProgressDlg::pressCancel() {
    m_cancelRequested = true;
    m_unansweredPress = true;
    emit cancelPressed();
}

void CProgressDlg::closeEvent(QCloseEvent* event) {
    // The close box is the cancel button: the loop decides when the window goes.
    event->ignore();
    pressCancel();
}

void CProgressDlg::reject() {
    pressCancel();
}
