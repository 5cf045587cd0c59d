#pragma once

#include <QString>
#include <QStringList>

// The rules of the search-text histories (the find box, the search and replace dialogs and the
// application's search history), decided on plain string lists so that no widget is needed.
namespace ComboHistory {

constexpr int MaxItems = 20;

// Whether two entries count as the same: the comparison ignores letter case.
bool sameEntry(const QString& a, const QString& b);
// Index of the entry equal to `text`, or -1.
qsizetype indexOf(const QStringList& items, const QString& text);

// Records `text`: nothing for an empty text (-1); an entry already held is only selected;
// otherwise the text goes to the top and the oldest entry beyond MaxItems drops out. Returns the
// index to select.
qsizetype add(QStringList& items, const QString& text);

// The find box's list made from a history: its first MaxItems entries, each once.
QStringList refill(const QStringList& history);

// Drops the entries beyond MaxItems; whether any went.
bool trim(QStringList& items);

// What a search or replace dialog starts with: the find box's text, else the selected text,
// on top (and preselected) when there is one, then the find box's list in order.
struct Seed {
    QStringList history;
    bool preselect = false;
};
Seed seed(const QString& findBoxText, const QString& selectedText, const QStringList& findBoxItems);

// A search text is one line: a pasted text is cut at its first line break (tabs stay).
QString firstLine(const QString& text);

} // namespace ComboHistory
