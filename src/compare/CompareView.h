#pragma once

#include "diff/TextComparison.h"

#include <Qsci/qsciscintilla.h>

struct AppSettings;

// One side of the comparison window: a read-only editor in the editor's font and colours that
// shows a text in the editor's form and marks what differs from the other side.
class CompareView : public QsciScintilla {
    Q_OBJECT
public:
    CompareView(const AppSettings& settings, QWidget* parent = nullptr);

    // Shows `utf8`, keeping the first visible line, without any marks.
    void showText(const QByteArray& utf8);
    void clearMarks();
    // Marks lines [first, first + count) as changed; a change without lines on this side is
    // marked under the line before where they would go (by an arrow beside the first line when
    // they would go before it).
    void markChange(int first, int count);
    // Marks the lines of the change the window is on.
    void markCurrent(int first, int count);
    void markCharacters(int line, const std::vector<CharRange>& ranges);

    int topLine() const;
    void setTopLine(int line);

private:
    void applyAppearance(const AppSettings& settings);
    long send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;
};
