#pragma once

#include "editor/TextSearch.h"

#include <QToolBar>

#include <functional>

class QComboBox;

// The find bar "検索": the find box (a search-text combo over a 150-pixel item) when the bar
// lies horizontally, a find button in its place when it is docked left or right, then the
// buttons of the commands 32794, 57636, 32795 and 32796.
class FindBar : public QToolBar {
    Q_OBJECT
public:
    // `action` gives the main window's action of a command id.
    FindBar(const std::function<QAction*(int)>& action, QWidget* parent);

    QComboBox* findBox() const { return m_box; }
    QString text() const;
    QStringList items() const;
    // RefillFindBox: the list from a history, its first 20 entries each once; the edit text stays.
    void refill(const QStringList& history);
    // Puts the text of a search made in a search dialog into the box, so that F3 and Shift+F3
    // repeat that search: with its whole-word and match-case choices while the box holds it.
    void repeatSearch(const QString& text, const TextSearch::Options& options);
    // The whole-word and match-case choices for searching the box's text.
    TextSearch::Options options() const;

signals:
    void textChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followOrientation(Qt::Orientation orientation);

    QComboBox* m_box;
    QAction* m_boxItem;
    QAction* m_findButton;
    QAction* m_findDown;
    QString m_repeatedText;
    TextSearch::Options m_repeatedOptions;
};
