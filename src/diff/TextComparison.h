#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

// Changed characters inside one line: `length` bytes from `start` bytes after the line's start,
// in the editor's UTF-8 (a whole character never splits).
struct CharRange {
    int start = 0;
    int length = 0;
    bool operator==(const CharRange&) const = default;
};

// A changed line of one side with the line of the other side it stands against, and the
// characters that differ between them. The ranges are empty when the lines were too long to
// compare character by character (the whole line is shown as changed).
struct ChangedLinePair {
    int leftLine = 0;
    int rightLine = 0;
    std::vector<CharRange> left;
    std::vector<CharRange> right;
};

// One change: `leftCount` lines from `leftFirst` of the left text stand where `rightCount`
// lines from `rightFirst` of the right text stand (a count of 0 is an insertion or a deletion
// before that line). Lines are 0-based and counted as the editor counts them; the first lines of
// both sides pair up in order.
struct TextChange {
    int leftFirst = 0;
    int leftCount = 0;
    int rightFirst = 0;
    int rightCount = 0;
    std::vector<ChangedLinePair> pairs;
};

// What differs between two texts in the editor's form (UTF-8, every line with its own end, a
// byte kept from the file as its stand-in character), line by line and, inside lines that
// changed, character by character. Lines compare as their bytes, line ends included, so a
// stand-in never equals a character and a line whose end changed is a changed line.
//
// Lines are compared by their interned ids, so two texts of tens of megabytes compare in well
// under a second when they differ in a few thousand places. When the texts are so different that
// the line-by-line comparison would take too long or too much memory, the rest of them is one
// change and approximate() says so.
class TextComparison {
public:
    // The longest line (in characters) whose characters are compared.
    static constexpr int MaxComparedLineLength = 10000;

    static TextComparison compare(QByteArrayView left, QByteArrayView right);

    const std::vector<TextChange>& changes() const { return m_changes; }
    bool identical() const { return m_changes.empty(); }
    // Part of the texts was too different to be compared line by line and is shown as one
    // change.
    bool approximate() const { return m_approximate; }

    // The line of the other side that stands beside `line` of this side: the same distance
    // past the last change before it, or inside a change the line of the same rank (the last
    // one of a shorter side; where the lines would go for a side that has none).
    int rightLineFor(int leftLine) const;
    int leftLineFor(int rightLine) const;

    // The lines of `text` as the editor has them, each with its end (CR, LF or CR LF); a text
    // that ends with a line end has no empty last line here.
    static std::vector<QByteArrayView> splitLines(QByteArrayView text);
    // The changed characters of two lines, as byte ranges of each.
    static void compareCharacters(QByteArrayView left, QByteArrayView right,
                                  std::vector<CharRange>& leftRanges,
                                  std::vector<CharRange>& rightRanges);

private:
    std::vector<TextChange> m_changes;
    bool m_approximate = false;
};
