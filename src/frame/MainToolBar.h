#pragma once

#include <QToolBar>

#include <functional>

class QAction;

// The main toolbar (bar 59392): the file, server, save, undo, spreadsheet and options commands.
// Small buttons show images only; large ones show each command's short name under its image.
class MainToolBar : public QToolBar {
    Q_OBJECT
public:
    // `actionOf` gives the QAction of a command id (the toolbar shares the menus' actions, so a
    // button is enabled exactly when its menu item is).
    MainToolBar(const std::function<QAction*(int)>& actionOf, bool large, QWidget* parent);

    // A button's text: its menu item's text without the key after the tab, the access key and
    // the dots, so that a button claims no Alt key of the main window.
    static QString buttonText(const QString& menuText);

    bool isLarge() const { return m_large; }
    void setLarge(bool large);

private:
    void fill(const std::function<QAction*(int)>& actionOf);

    bool m_large = false;
    QAction* m_largeOnlySeparator = nullptr;
};
