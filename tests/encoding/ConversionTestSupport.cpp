#include "ConversionTestSupport.h"

void JapaneseTextGenerator::appendJisAsSjis(QByteArray& out, int row, int cell) {
    // The textbook formula, written independently of the code under test.
    int lead = (row + 1) / 2 + 0x70;
    if (lead >= 0xA0)
        lead += 0x40;
    int trail = row % 2 == 1 ? cell + 0x1F + (cell >= 0x60 ? 1 : 0) : cell + 0x7E;
    out.append(char(lead));
    out.append(char(trail));
}

void JapaneseTextGenerator::appendAscii(QByteArray& out) {
    const int length = pick(1, 6);
    for (int i = 0; i < length; ++i)
        out.append(char(pick(0x20, 0x7E)));
}

QByteArray JapaneseTextGenerator::sjis(qsizetype length) {
    QByteArray out;
    out.reserve(length + 8);
    while (out.size() < length) {
        const int kind = pick(0, 99);
        if (kind < 55) {
            appendJisAsSjis(out, pick(0x21, 0x73), pick(0x21, 0x7E));
        } else if (kind < 60) {
            // Row 0x74 only has the six kanji added in 1990.
            appendJisAsSjis(out, 0x74, pick(0x21, 0x26));
        } else if (kind < 70) {
            int lead = pick(0xF0, 0xFC);
            int trail = pick(0x40, 0xFB);
            if (trail >= 0x7F)
                ++trail;
            if (lead == 0xF0 && trail <= 0x45)
                trail = 0x46;
            out.append(char(lead));
            out.append(char(trail));
        } else if (kind < 78) {
            out.append(char(pick(0xA1, 0xDF)));
        } else if (kind < 90) {
            appendAscii(out);
        } else if (kind < 97) {
            out.append("\r\n");
        } else {
            // A lone CR, never followed by another line end: "\r\r\n" reaches EUC-JP as
            // "\r\n", which cannot tell which CR was there.
            out.append('\r');
            appendAscii(out);
        }
    }
    return out;
}

QByteArray JapaneseTextGenerator::euc(qsizetype length) {
    QByteArray out;
    out.reserve(length + 8);
    while (out.size() < length) {
        const int kind = pick(0, 99);
        if (kind < 65) {
            out.append(char(pick(0x21, 0x7E) | 0x80));
            out.append(char(pick(0x21, 0x7E) | 0x80));
        } else if (kind < 70) {
            // Rows 0x0C and 0x11..0x1E hold the Shift_JIS user-defined and extension rows.
            const int row = pick(0, 14);
            out.append(char((row == 0 ? 0x0C : 0x10 + row) | 0x80));
            out.append(char(pick(0x21, 0x7E) | 0x80));
        } else if (kind < 78) {
            out.append(char(0x8E));
            out.append(char(pick(0xA1, 0xDF)));
        } else if (kind < 90) {
            appendAscii(out);
        } else if (kind < 97) {
            out.append('\n');
        } else {
            // A lone CR; before an LF it would be the CR of a CR LF.
            out.append('\r');
            appendAscii(out);
        }
    }
    return out;
}
