#pragma once

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include <array>

class CGridCtrl;
struct SheetContext;
class SearchTextSink;
struct AppSettings;
class GridModel;
class QComboBox;
class QRadioButton;
class QTabWidget;

// What the pages of "検索＆置換＆絞込" share: the grid they work on, the search text list and
// its history rule, and the signal that nothing (more) was found.
class GridSheetPage : public QWidget {
    Q_OBJECT
public:
    // The page's search list, as the sheet stores it in the search history on closing.
    QStringList searchList() const { return m_searchItems; }
    bool wasShown() const { return m_shown; }
    // Takes the search text into the list, as every button does.
    QString takeSearchText();

signals:
    // A search found nothing (more); the desktop's bell has sounded.
    void nothingFound();

protected:
    GridSheetPage(CGridCtrl* view, const QStringList& history, QWidget* parent);
    void showEvent(QShowEvent* event) override;
    // The page's first showing: focus to the selection's corner, the focused text on top.
    virtual void initialise();
    QComboBox* addCombo(const char* name, int id);
    static QString take(QComboBox* combo, QStringList& items);
    static void fill(QComboBox* combo, const QStringList& items, int current);
    void notFound();
    void showCell(int row, int col) const;
    // The grid's guarded update, as an edit would change the cell.
    bool writeCell(int row, int col, const QString& text);

    GridModel* m_grid; // none: the page does nothing
    QPointer<CGridCtrl> m_view;
    QStringList m_history;
    QComboBox* m_search = nullptr;
    QStringList m_searchItems;

private:
    bool m_shown = false;
};

// Dialog 185: "検索" (search mode) or "置換" (replace mode).
class CGridRep : public GridSheetPage {
    Q_OBJECT
public:
    enum class Mode { Search, Replace };
    CGridRep(Mode mode, CGridCtrl* view, const QStringList& history, QWidget* parent = nullptr);

    void findNext();       // 1165
    void replaceAndNext(); // 1071
    void replaceAll();     // 1075

protected:
    void initialise() override;

private:
    QString takeReplacement();

    Mode m_mode;
    QComboBox* m_replacement = nullptr;
    QStringList m_replacementItems;
};

// Dialog 187 "絞込": hides rows or columns whose cell matches or does not.
class CGridFilter : public GridSheetPage {
    Q_OBJECT
public:
    CGridFilter(CGridCtrl* view, const QStringList& history, QWidget* parent = nullptr);

    void narrow();  // 1222
    void showAll(); // 196

private:
    QRadioButton* m_columns = nullptr;
    QRadioButton* m_mismatch = nullptr;
};

// "検索＆置換＆絞込": the three pages over one grid; closed with its cancel button, when every
// page that was shown stores its search list as the search history.
class CAllControlsSheet : public QDialog {
    Q_OBJECT
public:
    CAllControlsSheet(const SheetContext& context, CGridCtrl* view, QWidget* parent = nullptr);

    QTabWidget* tabs() const { return m_tabs; }
    CGridRep* searchPage() const { return m_search; }
    CGridRep* replacePage() const { return m_replace; }
    CGridFilter* filterPage() const { return m_filter; }

    void done(int result) override;

private:
    std::array<GridSheetPage*, 3> pages() const { return {m_search, m_replace, m_filter}; }

    AppSettings& m_settings;
    SearchTextSink* m_searchText;
    QTabWidget* m_tabs;
    CGridRep* m_search;
    CGridRep* m_replace;
    CGridFilter* m_filter;
};
