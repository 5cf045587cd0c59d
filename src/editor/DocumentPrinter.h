#pragma once

#include <QColor>
#include <QDateTime>
#include <QMargins>
#include <QString>

class QPrinter;
class QsciScintillaBase;

// Page margins of the editor in twips (1/1440 inch), and their form in the page-setup dialog,
// hundredths of a millimetre (integer arithmetic both ways, as the dialog has always shown them).
struct PrintMargins {
    int left = 720;
    int top = 720;
    int right = 720;
    int bottom = 720;

    static constexpr int toHundredthsMm(int twips) { return twips * 2540 / 1440; }
    static constexpr int toTwips(int hundredthsMm) { return hundredthsMm * 1440 / 2540; }
    bool operator==(const PrintMargins&) const = default;
};

// The printer the program prints on, shared by page setup and printing.
QPrinter& applicationPrinter();

// The date and time of the page header, "%04d/%02d/%02d %02d:%02d".
QString printHeaderDate(const QDateTime& when);

// What goes on the pages besides the text.
struct PrintJob {
    QString fileName; // header, left
    QString date;     // header, right
    PrintMargins margins;
};

// Prints the text of `editor` (with its colours) on `printer`, which must be the application
// printer (a preview hands it back), one header line on every page: the file name at (150, 100)
// and the date right-aligned to end 150 device units left of the right edge; the text inside
// the margins, a line wider than the page wrapped onto the next printed line.
void printDocument(QPrinter& printer, QsciScintillaBase& editor, const PrintJob& job);
