#pragma once

#include <QLineEdit>

// How an in-place edit began; it decides where the caret goes and whether arrow keys end the
// edit (they do only after a keyboard start, so that a mouse start lets the arrows move the
// caret).
enum class GridEditStart {
    Mouse,     // double click, release on the focused cell, F2: caret at the end
    Enter,     // caret at the end
    Backspace, // caret at the end, last character deleted
    SelectAll, // Space and the navigation keys: all text selected
    Character, // a typed character replaces the whole text
};

// The single-line box over a cell while it is edited. It grows with its text up to the grid's
// right edge and reports once, with the key that ended it, when the edit is over.
class CGridEditBox : public QLineEdit {
    Q_OBJECT
public:
    CGridEditBox(QWidget* parent, int row, int column, const QString& text, const QRect& cellRect,
                 int rightLimit, Qt::Alignment alignment);

    // Applies the start rule: caret, selection and the typed character.
    void start(GridEditStart how, const QString& typed = {});

    int row() const { return m_row; }
    int column() const { return m_column; }
    // Ends the edit as losing the focus does (no key); nothing happens after the first end.
    void finish(int key = 0);

signals:
    // The edit is over: the text to apply and the key that ended it (0 for none, Qt::Key_Escape
    // when the initial text was put back).
    void editEnded(int row, int column, const QString& text, int key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool endsEdit(const QKeyEvent* event) const;
    void fitToText();

    int m_row;
    int m_column;
    QString m_initial;
    QRect m_cellRect;
    int m_rightLimit;
    bool m_arrowsEnd = true;
    bool m_ended = false;
};
