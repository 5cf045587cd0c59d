#include "editor/DocumentPrinter.h"

#include <Qsci/qsciprinter.h>
#include <Qsci/qsciscintillabase.h>

#include <QPainter>

namespace {

// Scintilla's printer with the header of every page and the margins in twips.
class HeaderPrinter : public QsciPrinter {
public:
    HeaderPrinter() : QsciPrinter(QPrinter::HighResolution) {}

    PrintJob job;

    void formatPage(QPainter& painter, bool drawing, QRect& area, int) override {
        const QRect page = pageLayout().fullRectPixels(resolution());
        const double dpiX = logicalDpiX();
        const double dpiY = logicalDpiY();
        const PrintMargins& m = job.margins;
        area = QRect(qRound(m.left * dpiX / 1440.0), qRound(m.top * dpiY / 1440.0),
                     qRound(page.width() - (m.left + m.right) * dpiX / 1440.0),
                     qRound(page.height() - (m.top + m.bottom) * dpiY / 1440.0));
        if (!drawing)
            return;
        painter.save();
        painter.setPen(Qt::black);
        const int lineHeight = painter.fontMetrics().height();
        painter.drawText(QRect(150, 100, page.width() / 2, lineHeight),
                         Qt::AlignLeft | Qt::AlignTop, job.fileName);
        painter.drawText(QRect(0, 100, page.width() - 150, lineHeight),
                         Qt::AlignRight | Qt::AlignTop, job.date);
        painter.restore();
    }
};

HeaderPrinter& headerPrinter() {
    static HeaderPrinter printer;
    return printer;
}

} // namespace

QPrinter& applicationPrinter() {
    return headerPrinter();
}

QString printHeaderDate(const QDateTime& when) {
    const QDate d = when.date();
    const QTime t = when.time();
    return QString::asprintf("%04d/%02d/%02d %02d:%02d", d.year(), d.month(), d.day(), t.hour(),
                             t.minute());
}

void printDocument(QPrinter& printer, QsciScintillaBase& editor, const PrintJob& job) {
    HeaderPrinter& header = headerPrinter();
    if (&printer != &header)
        return;
    header.setFullPage(true);
    header.job = job;
    header.setWrapMode(QsciScintilla::WrapCharacter);
    // Paper is white whatever the screen's background.
    editor.SendScintilla(QsciScintillaBase::SCI_SETPRINTCOLOURMODE,
                         QsciScintillaBase::SC_PRINT_COLOURONWHITE);
    header.printRange(&editor);
}
