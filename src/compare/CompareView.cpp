#include "compare/CompareView.h"

#include "editor/KeptBytesDisplay.h"
#include "settings/AppSettings.h"
#include "widgets/EditorAppearance.h"

namespace {

enum Marker { ChangedLine = 1, CurrentLine = 2, GapBelow = 3, GapAbove = 4 };
constexpr int ChangedCharacters = 12;

QColor blend(const QColor& paper, const QColor& colour, int percent) {
    const auto mix = [&](int a, int b) { return (a * (100 - percent) + b * percent) / 100; };
    return QColor(mix(paper.red(), colour.red()), mix(paper.green(), colour.green()),
                  mix(paper.blue(), colour.blue()));
}

} // namespace

CompareView::CompareView(const AppSettings& settings, QWidget* parent) : QsciScintilla(parent) {
    setUtf8(true);
    setReadOnly(true);
    setWrapMode(WrapNone); // a line of one side stands beside its line of the other
    SendScintilla(SCI_SETLAYOUTCACHE, static_cast<unsigned long>(SC_CACHE_PAGE));
    showKeptBytes(*this);
    applyAppearance(settings);
}

void CompareView::applyAppearance(const AppSettings& settings) {
    const QFont font = editorFont(settings);
    const QColor paper = colorFromColorRef(settings.BackColor);
    const QColor ink = colorFromColorRef(settings.ForeColor);
    setFont(font);
    setPaper(paper);
    setColor(ink);
    SendScintilla(SCI_STYLECLEARALL);
    setCaretForegroundColor(ink);
    setTabWidth(settings.TabCount > 0 ? settings.TabCount : 8);
    setMarginLineNumbers(0, true);
    setMarginWidth(0, QStringLiteral("0000000"));
    // The symbol margin shows only where lines of the other side go before the first line.
    setMarginWidth(1, 14);
    setMarginMarkerMask(1, 1 << GapAbove);
    setMarginSensitivity(1, false);
    setMarginsFont(font);
    setMarginsBackgroundColor(blend(paper, ink, 8));
    setMarginsForegroundColor(blend(paper, ink, 60));
    const QColor changed(255, 170, 0);
    markerDefine(QsciScintilla::Background, ChangedLine);
    setMarkerBackgroundColor(blend(paper, changed, 22), ChangedLine);
    markerDefine(QsciScintilla::Background, CurrentLine);
    setMarkerBackgroundColor(blend(paper, changed, 45), CurrentLine);
    markerDefine(QsciScintilla::Underline, GapBelow);
    setMarkerBackgroundColor(changed, GapBelow);
    markerDefine(QsciScintilla::DownTriangle, GapAbove);
    setMarkerBackgroundColor(changed, GapAbove);
    setMarkerForegroundColor(changed, GapAbove);
    send(SCI_INDICSETSTYLE, ChangedCharacters, INDIC_FULLBOX);
    SendScintilla(SCI_INDICSETFORE, static_cast<unsigned long>(ChangedCharacters),
                  QColor(230, 90, 0));
    send(SCI_INDICSETALPHA, ChangedCharacters, 110);
    send(SCI_INDICSETOUTLINEALPHA, ChangedCharacters, 200);
}

long CompareView::send(unsigned int message, unsigned long wParam, long lParam) const {
    return SendScintilla(message, wParam, lParam);
}

void CompareView::showText(const QByteArray& utf8) {
    const int top = topLine();
    setReadOnly(false);
    send(SCI_CLEARALL);
    // Appended with its length: a NUL in the text does not end it.
    SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(utf8.size()), utf8.constData());
    send(SCI_EMPTYUNDOBUFFER);
    setReadOnly(true);
    clearMarks();
    setTopLine(top);
}

void CompareView::clearMarks() {
    markerDeleteAll();
    send(SCI_SETINDICATORCURRENT, ChangedCharacters);
    send(SCI_INDICATORCLEARRANGE, 0, send(SCI_GETLENGTH));
}

void CompareView::markChange(int first, int count) {
    if (count == 0) {
        if (first == 0)
            markerAdd(0, GapAbove);
        else
            markerAdd(first - 1, GapBelow);
        return;
    }
    for (int line = first; line < first + count; ++line)
        markerAdd(line, ChangedLine);
}

void CompareView::markCurrent(int first, int count) {
    markerDeleteAll(CurrentLine);
    for (int line = first; line < first + count; ++line)
        markerAdd(line, CurrentLine);
}

void CompareView::markCharacters(int line, const std::vector<CharRange>& ranges) {
    const long start = send(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    send(SCI_SETINDICATORCURRENT, ChangedCharacters);
    for (const CharRange& r : ranges)
        send(SCI_INDICATORFILLRANGE, static_cast<unsigned long>(start + r.start), r.length);
}

int CompareView::topLine() const {
    return int(send(SCI_GETFIRSTVISIBLELINE));
}

void CompareView::setTopLine(int line) {
    send(SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(std::max(line, 0)));
}
