#include "editor/ComboHistory.h"

namespace ComboHistory {

bool sameEntry(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

qsizetype indexOf(const QStringList& items, const QString& text) {
    for (qsizetype i = 0; i < items.size(); ++i)
        if (sameEntry(items[i], text))
            return i;
    return -1;
}

qsizetype add(QStringList& items, const QString& text) {
    if (text.isEmpty())
        return -1;
    if (const qsizetype found = indexOf(items, text); found >= 0)
        return found;
    items.prepend(text);
    trim(items);
    return 0;
}

QStringList refill(const QStringList& history) {
    QStringList items;
    for (qsizetype i = 0; i < history.size() && i < MaxItems; ++i)
        if (indexOf(items, history[i]) < 0)
            items.append(history[i]);
    return items;
}

bool trim(QStringList& items) {
    if (items.size() <= MaxItems)
        return false;
    items.resize(MaxItems);
    return true;
}

Seed seed(const QString& findBoxText, const QString& selectedText,
          const QStringList& findBoxItems) {
    Seed s;
    const QString first = firstLine(findBoxText.isEmpty() ? selectedText : findBoxText);
    if (!first.isEmpty()) {
        s.history.append(first);
        s.preselect = true;
    }
    s.history.append(findBoxItems);
    return s;
}

QString firstLine(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            return text.left(i);
    }
    return text;
}

} // namespace ComboHistory
