#include "editor/LongLines.h"

#include <cstring>

namespace LongLines {

namespace {

// Where the next line end (CR or LF) at or after `from` starts, or the text's size.
qsizetype nextLineEnd(QByteArrayView text, qsizetype from) {
    const char* s = text.data();
    const auto* lf =
        static_cast<const char*>(std::memchr(s + from, '\n', size_t(text.size() - from)));
    const qsizetype limit = lf ? lf - s : text.size();
    const auto* cr = static_cast<const char*>(std::memchr(s + from, '\r', size_t(limit - from)));
    return cr ? cr - s : limit;
}

bool anyLineLonger(QByteArrayView text, qsizetype longest) {
    for (qsizetype start = 0; start < text.size();) {
        const qsizetype end = nextLineEnd(text, start);
        if (end - start > longest)
            return true;
        start = end + 1;
    }
    return false;
}

} // namespace

QByteArray cut(const QByteArray& utf8, std::vector<qsizetype>& breaks, qsizetype longest,
               qsizetype piece) {
    breaks.clear();
    if (!anyLineLonger(utf8, longest))
        return utf8;
    QByteArray out;
    out.reserve(utf8.size() + utf8.size() / piece + 16);
    for (qsizetype start = 0; start < utf8.size();) {
        const qsizetype end = nextLineEnd(utf8, start);
        qsizetype at = start;
        if (end - start > longest) {
            while (end - at > piece) {
                qsizetype cutAt = at + piece;
                while (cutAt > at + 1 && (uchar(utf8[cutAt]) & 0xC0) == 0x80)
                    --cutAt; // never inside a character
                out.append(utf8.constData() + at, cutAt - at);
                breaks.push_back(out.size());
                out.append('\n');
                at = cutAt;
            }
        }
        const qsizetype next = std::min(end + 1, utf8.size());
        out.append(utf8.constData() + at, next - at);
        start = next;
    }
    return out;
}

QByteArray joined(QByteArrayView shown, const std::vector<qsizetype>& breaks) {
    QByteArray out;
    out.reserve(shown.size() - qsizetype(breaks.size()));
    qsizetype at = 0;
    for (qsizetype b : breaks) {
        out.append(shown.sliced(at, b - at));
        at = b + 1;
    }
    out.append(shown.sliced(at));
    return out;
}

} // namespace LongLines
