#include "editor/DocumentPrinter.h"

#include "editor/KeywordOverlay.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <memory>

namespace {

// A copy of the text for the printer, the keyword colours turned into character formats.
std::unique_ptr<QTextDocument> printableCopy(const QTextDocument& document,
                                             const KeywordOverlay* colours) {
    std::unique_ptr<QTextDocument> copy(document.clone());
    copy->setUndoRedoEnabled(false);
    if (!colours || colours->isEmpty())
        return copy;
    QTextCursor cursor(copy.get());
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        for (const QTextLayout::FormatRange& r : colours->rangesOf(b)) {
            cursor.setPosition(b.position() + r.start);
            cursor.setPosition(b.position() + r.start + r.length, QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(r.format);
        }
    }
    return copy;
}

} // namespace

QPrinter& applicationPrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

QString printHeaderDate(const QDateTime& when) {
    const QDate d = when.date();
    const QTime t = when.time();
    return QString::asprintf("%04d/%02d/%02d %02d:%02d", d.year(), d.month(), d.day(), t.hour(),
                             t.minute());
}

void printDocument(QPrinter& printer, const QTextDocument& document, const KeywordOverlay* colours,
                   const PrintJob& job) {
    const PrintMargins& margins = job.margins;
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    std::unique_ptr<QTextDocument> copy = printableCopy(document, colours);
    copy->documentLayout()->setPaintDevice(&printer);
    copy->setDocumentMargin(0);

    const QRect page = printer.pageLayout().fullRectPixels(printer.resolution());
    const double dpiX = printer.logicalDpiX();
    const double dpiY = printer.logicalDpiY();
    const QRectF body(margins.left * dpiX / 1440.0, margins.top * dpiY / 1440.0,
                      page.width() - (margins.left + margins.right) * dpiX / 1440.0,
                      page.height() - (margins.top + margins.bottom) * dpiY / 1440.0);
    copy->setPageSize(body.size());
    const int pages = copy->pageCount();

    QFont headerFont = document.defaultFont();
    headerFont.setBold(false);
    headerFont.setItalic(false);
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            printer.newPage();
        painter.save();
        painter.setFont(QFont(headerFont, &printer));
        painter.setPen(Qt::black);
        const int lineHeight = painter.fontMetrics().height();
        painter.drawText(QRect(150, 100, page.width() / 2, lineHeight),
                         Qt::AlignLeft | Qt::AlignTop, job.fileName);
        painter.drawText(QRect(0, 100, page.width() - 150, lineHeight),
                         Qt::AlignRight | Qt::AlignTop, job.date);
        painter.restore();

        painter.save();
        painter.translate(body.left(), body.top() - i * body.height());
        const QRectF view(0, i * body.height(), body.width(), body.height());
        painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = view;
        context.palette.setColor(QPalette::Text, job.textColour);
        copy->documentLayout()->draw(&painter, context);
        painter.restore();
    }
    painter.end();
}
