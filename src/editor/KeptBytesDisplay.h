#pragma once

class QsciScintilla;

// A byte kept from a file (one that does not decode) shows in `view` as Scintilla shows bytes
// it cannot decode: "x81" in a box. The editor and the comparison show them alike.
void showKeptBytes(QsciScintilla& view);
