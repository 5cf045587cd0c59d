#pragma once

#include "editor/TextSearch.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>

class CVantorpadView;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QRadioButton;

// The search-text combo boxes of the find box and the search dialogs: editable, one line (a
// pasted text is cut at its first line break), Enter inserts nothing by itself, and the list
// follows the history rules of ComboHistory.
namespace SearchCombo {
void setUp(QComboBox* combo);
// An editable combo whose text is searched holds exactly what the user typed: nothing completed
// from its list, and Enter does not swap the text for a list entry of another letter case.
void searchWhatIsTyped(QComboBox* combo);
QStringList items(const QComboBox* combo);
void setItems(QComboBox* combo, const QStringList& items);
// AddToComboHistory: records `text` by the history rules and selects its entry.
void record(QComboBox* combo, const QString& text);
} // namespace SearchCombo

// What the search and replace dialogs share: the search combo 1049, whole word 1052, match case
// 1055, the direction radios 1064/1068, the history they start from and the closing step that
// records the search text. Both act on the view that was active when they opened.
class SearchDialogBase : public QDialog {
    Q_OBJECT
public:
    // Whether the dialog closed by a path that records the search text; the history then holds
    // the search combo's list, from which the find box is refilled.
    bool recorded() const { return m_recorded; }
    const QStringList& history() const { return m_history; }
    // The last search the dialog made, for F3 and Shift+F3 to repeat; the text is empty when
    // it made none.
    struct Search {
        QString text;
        TextSearch::Options options;
    };
    const Search& lastSearch() const { return m_lastSearch; }

    void reject() override; // Cancel and Escape

protected:
    SearchDialogBase(CVantorpadView* view, const QStringList& history, bool preselect,
                     QWidget* parent);
    QComboBox* addCombo(const QString& objectName, bool preselect);
    // The group "検索する方向" holding the two direction radios.
    QGroupBox* directionBox();
    void findNext(bool up);
    // Remembers a search for lastSearch().
    void noteSearch(const QString& text, bool up);

    QPointer<CVantorpadView> m_view;
    QStringList m_history;
    QComboBox* m_search = nullptr;
    QCheckBox* m_wholeWord = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QRadioButton* m_down = nullptr;
    QRadioButton* m_up = nullptr;

private:
    // Moves the dialog off the selected match, so that the user sees what was found.
    void uncoverSelection();

    bool m_recorded = false;
    Search m_lastSearch;
};

// The search dialog (dialog 148).
class CSearchDlg : public SearchDialogBase {
    Q_OBJECT
public:
    CSearchDlg(CVantorpadView* view, const QStringList& history, bool preselect,
               QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override; // the close box records too

private:
    void clearHistory();
};

// The replace dialog (dialog 176).
class CReplaseDlg : public SearchDialogBase {
    Q_OBJECT
public:
    CReplaseDlg(CVantorpadView* view, const QStringList& history, bool preselect,
                QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override; // the close box records nothing

private:
    void replaceAndFindNext();
    void replaceAll();

    QComboBox* m_replacement = nullptr;
};
