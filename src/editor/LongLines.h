#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

// Scintilla lays out a whole line before it draws any of it, measuring every character: a line
// of tens of megabytes holds the window for minutes. Such a line is shown cut into pieces by
// line breaks of the view's own ("display breaks"), which the document never sees.
namespace LongLines {

// Lines longer than this (in bytes of the editor's text) are cut for showing.
constexpr qsizetype Longest = qsizetype(1) << 20;
// The length of the pieces they are cut into (a little less, to end on a whole character).
constexpr qsizetype Piece = 1000;

// `utf8` (the editor's text) with a '\n' after every piece of each line longer than `longest`;
// `breaks` gets the positions of those '\n' in the result, in order. Text without such lines
// comes back as it is (shared, not copied) and `breaks` empty.
QByteArray cut(const QByteArray& utf8, std::vector<qsizetype>& breaks, qsizetype longest = Longest,
               qsizetype piece = Piece);

// The text that `cut` was given, from what it made.
QByteArray joined(QByteArrayView shown, const std::vector<qsizetype>& breaks);

} // namespace LongLines
