#include "editor/KeywordOverlay.h"

#include "editor/CVantorpadView.h"

KeywordOverlay::KeywordOverlay(CVantorpadView* view) : QObject(view), m_view(view) {
    for (int set = 0; set < 2; ++set) {
        const int indicator = FirstIndicator + set;
        m_view->SendScintilla(QsciScintillaBase::SCI_INDICSETSTYLE, indicator,
                              long(QsciScintillaBase::INDIC_TEXTFORE));
        // Drawn over the syntax colours, under the selection.
        m_view->SendScintilla(QsciScintillaBase::SCI_INDICSETUNDER, indicator, long(false));
    }
}

void KeywordOverlay::apply(const QList<KeywordMatch>& matches, const QColor colours[2]) {
    for (int set = 0; set < 2; ++set)
        m_view->SendScintilla(QsciScintillaBase::SCI_INDICSETFORE, FirstIndicator + set,
                              colours[set]);
    for (const KeywordMatch& m : matches) {
        const long from = m_view->bytePosition(m.start);
        const long length = m_view->bytePosition(m.start + m.length) - from;
        // The other set's colour gives way, so the later match is the one drawn.
        m_view->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT,
                              FirstIndicator + 1 - m.set);
        m_view->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, from, length);
        m_view->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, FirstIndicator + m.set);
        m_view->SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, from, length);
        m_empty = false;
    }
}

void KeywordOverlay::clear() {
    const long length = m_view->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    for (int set = 0; set < 2; ++set) {
        m_view->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, FirstIndicator + set);
        m_view->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, 0L, length);
    }
    m_empty = true;
}

int KeywordOverlay::setAt(qsizetype position) const {
    const long at = m_view->bytePosition(position);
    for (int set = 1; set >= 0; --set)
        if (m_view->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, FirstIndicator + set,
                                  at) != 0)
            return set;
    return -1;
}

QList<KeywordMatch> KeywordOverlay::rangesBetween(qsizetype from, qsizetype to) const {
    QList<KeywordMatch> ranges;
    const long end = m_view->bytePosition(to);
    for (int set = 0; set < 2; ++set) {
        const int indicator = FirstIndicator + set;
        long at = m_view->bytePosition(from);
        while (at < end) {
            const long runEnd = std::min<long>(
                end, m_view->SendScintilla(QsciScintillaBase::SCI_INDICATOREND, indicator, at));
            if (runEnd <= at)
                break;
            if (m_view->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, indicator, at))
                ranges.append({m_view->textPosition(at),
                               m_view->textPosition(runEnd) - m_view->textPosition(at), set});
            at = runEnd;
        }
    }
    std::sort(ranges.begin(), ranges.end(),
              [](const KeywordMatch& a, const KeywordMatch& b) { return a.start < b.start; });
    return ranges;
}
