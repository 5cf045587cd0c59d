#pragma once

#include "encoding/LosslessCodec.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <vector>

// How a document's bytes are turned into text and back.
enum class TextEncoding {
    Cp932,   // the default: lossless CP932, invalid bytes kept as U+DC00 + byte
    Utf8,    // valid UTF-8 with non-ASCII bytes
    Utf8Bom, // UTF-8 that began with the byte order mark, written back with it
};

// The bytes that end a line. The editor keeps lines as paragraphs, so the end of each line is
// remembered beside the text: a document opened and saved unchanged keeps every line end,
// mixed ones included. Besides CR, LF and CR LF, three characters end a paragraph in the text
// widget and are therefore kept as line ends as well.
enum class LineEnd : quint8 {
    Lf,
    CrLf,
    Cr,
    ParagraphSeparator, // U+2029
    FrameStart,         // U+FDD0
    FrameEnd,           // U+FDD1
};

// The line end that differs from the document's prevailing one, by line number (0-based).
struct LineEndException {
    int line = 0;
    LineEnd end = LineEnd::Lf;
    bool operator==(const LineEndException&) const = default;
};

// A file's text, split into lines joined by '\n', with what is needed to write it back.
struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Cp932;
    LineEnd prevailing = LineEnd::Lf;
    QList<LineEndException> exceptions;
};

// Where a document's bytes come from, which decides what bytes that are no UTF-8 read as.
enum class TextOrigin {
    Local,      // a file of the PC, or of a Shift_JIS or EUC-JP server
    Utf8Server, // the copy of a file of a server that keeps its text in UTF-8
};

// The encoding a file's bytes are shown in: UTF-8 (with its byte order mark, or valid UTF-8
// holding a non-ASCII byte), else CP932. A file of a UTF-8 server is UTF-8, plain ASCII too,
// and keeps a byte that is no UTF-8 as it is, unless it looks like a Shift_JIS text: valid
// CP932 with more such bytes than UTF-8 characters beyond ASCII.
TextEncoding detectEncoding(QByteArrayView bytes, TextOrigin origin = TextOrigin::Local);

// Decodes a whole file in the encoding detectEncoding gives it. Bytes that are no character of
// it are kept as U+DC00 + byte and written back as they were.
DecodedText decodeDocument(QByteArrayView bytes, TextOrigin origin = TextOrigin::Local);

// Rebuilds the text with its line ends. `paragraphs` holds the lines separated by U+2029 (the
// text widget's raw text); line i ends with its exception or else with `prevailing`.
QString joinLines(QStringView paragraphs, LineEnd prevailing,
                  const QList<LineEndException>& exceptions);

// Encodes text for writing; never substitutes a character the encoding cannot hold.
EncodeResult encodeDocument(QStringView text, TextEncoding encoding);

// The 1-based line of `index` in text whose lines end as joinLines writes them.
int lineNumberAt(QStringView text, qsizetype index);

// The character at `index` (a whole surrogate pair) for a message, with its code point.
QString describeCharacter(QStringView text, qsizetype index);

// "Shift_JIS" or "UTF-8", as the user knows them.
QString encodingName(TextEncoding encoding);

// True when `bytes` is UTF-8 that decodes and encodes back to the same bytes: no overlong
// forms, no surrogates, nothing above U+10FFFF, nothing cut off at the end.
bool isStrictUtf8(QByteArrayView bytes);

// The text as the editor holds it: UTF-8 in which every line keeps its own line end (CR, LF or
// CR LF) and a byte that is no character of the file's encoding stands as one character of its
// own, the stand-in of that byte. The stand-ins are the last 128 code points of plane 16
// (U+10FF80 + byte - 0x80), one per byte 0x80-0xFF: a stand-in is a whole character, so no run
// of kept bytes can join into a character, and a character of that range that a file holds is
// kept as the four bytes of its UTF-8 form, so that no character ever turns into a kept byte.
struct EditorText {
    QByteArray utf8;
    TextEncoding encoding = TextEncoding::Cp932;
    LineEnd mainLineEnd = LineEnd::Lf; // the commonest of CR, LF and CR LF; new lines get it
};

constexpr char32_t kFirstByteStandIn = 0x10FF80;
// The stand-in of a kept byte (0x80-0xFF), and the byte of a stand-in (-1 for other code points).
constexpr char32_t standInOfByte(unsigned char byte) {
    return kFirstByteStandIn + (byte - 0x80);
}
constexpr int byteOfStandIn(char32_t code) {
    return code >= kFirstByteStandIn && code <= 0x10FFFF ? int(code - kFirstByteStandIn + 0x80)
                                                         : -1;
}

// A file's bytes in the editor's form. Bytes that are already that form (valid UTF-8 without a
// byte order mark) are shared with the result rather than copied.
EditorText decodeForEditor(QByteArrayView bytes, TextOrigin origin = TextOrigin::Local);
EditorText decodeForEditor(const QByteArray& bytes, TextOrigin origin = TextOrigin::Local);
// Text with kept bytes as U+DC00 + byte (the lossless codecs' form) in the editor's form, and
// back. Text typed or pasted into the editor goes through editorUtf8Of too.
QByteArray editorUtf8Of(QStringView text);
void appendEditorUtf8(QByteArray& out, QStringView text);
QString losslessTextOf(QByteArrayView editorUtf8);
// The editor's text as the bytes of a file of `encoding`; never substitutes a character.
// `unencodableAt` indexes the text losslessTextOf gives.
EncodeResult encodeFromEditor(QByteArrayView editorUtf8, TextEncoding encoding);
// The commonest line end of `text` (LF when it has none).
LineEnd mainLineEndOf(QByteArrayView text);
// The bytes of `end`.
QByteArrayView lineEndBytes(LineEnd end);
