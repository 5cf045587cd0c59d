#pragma once

#include <QTabBar>

class QMdiArea;
class QMdiSubWindow;

// A strip of tabs under the editor area, one per editor window, in the order the windows were
// first seen. A click brings a window to the front, a double-click maximises it, the right
// button opens its system menu. Hidden, taking no room, while it has fewer tabs than the
// minimum.
class WindowSwitchBar : public QTabBar {
    Q_OBJECT
public:
    static constexpr int MinimumTabs = 1;

    WindowSwitchBar(QMdiArea* mdi, QWidget* parent);

    // Brings the tabs in line with the editor windows: texts and the selected tab follow the
    // windows, tabs of closed windows go, new windows are appended.
    void SyncTabs();
    QMdiSubWindow* windowAt(int index) const;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void bringToFront(int index);

    QMdiArea* m_mdi;
    bool m_syncing = false;
};
