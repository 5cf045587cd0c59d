#include "editor/KeptBytesDisplay.h"

#include "doc/DocumentText.h"

#include <Qsci/qsciscintilla.h>

void showKeptBytes(QsciScintilla& view) {
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const char32_t code = standInOfByte(uchar(byte));
        const QByteArray standIn = QString::fromUcs4(&code, 1).toUtf8();
        const QByteArray shown = QByteArray("x") + QByteArray::number(byte, 16).toUpper();
        view.SendScintilla(QsciScintilla::SCI_SETREPRESENTATION, standIn.constData(),
                           shown.constData());
    }
}
