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

    bool isLarge() const { return m_large; }
    void setLarge(bool large);

private:
    void fill(const std::function<QAction*(int)>& actionOf);

    bool m_large = false;
    QAction* m_largeOnlySeparator = nullptr;
};
