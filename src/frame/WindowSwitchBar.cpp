#include "frame/WindowSwitchBar.h"

#include "frame/MenuBarKeys.h"

#include <QContextMenuEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QScopedValueRollback>

namespace {

QString tabTextOf(const QMdiSubWindow* window) {
    QString title = window->windowTitle();
    title.remove(QStringLiteral("[*]"));
    return shownAsIs(title);
}

} // namespace

WindowSwitchBar::WindowSwitchBar(QMdiArea* mdi, QWidget* parent) : QTabBar(parent), m_mdi(mdi) {
    setObjectName(QStringLiteral("WindowSwitchBar"));
    setShape(QTabBar::RoundedSouth);
    setExpanding(false);
    setElideMode(Qt::ElideMiddle);
    setUsesScrollButtons(true);
    setDrawBase(true);
    setVisible(false);
    connect(this, &QTabBar::currentChanged, this, [this](int index) {
        if (!m_syncing)
            bringToFront(index);
    });
    connect(this, &QTabBar::tabBarClicked, this, &WindowSwitchBar::bringToFront);
    connect(this, &QTabBar::tabBarDoubleClicked, this, [this](int index) {
        if (QMdiSubWindow* window = windowAt(index))
            window->showMaximized();
    });
}

QMdiSubWindow* WindowSwitchBar::windowAt(int index) const {
    if (index < 0 || index >= count())
        return nullptr;
    return tabData(index).value<QPointer<QMdiSubWindow>>().data();
}

void WindowSwitchBar::SyncTabs() {
    QScopedValueRollback<bool> syncing(m_syncing, true);
    setUpdatesEnabled(false);
    // Top of the stack first: the first is the active window.
    QList<QMdiSubWindow*> windows = m_mdi->subWindowList(QMdiArea::StackingOrder);
    std::reverse(windows.begin(), windows.end());
    QMdiSubWindow* active = m_mdi->activeSubWindow();
    for (int i = count() - 1; i >= 0; --i) {
        QMdiSubWindow* window = windowAt(i);
        if (!window || !windows.contains(window)) {
            removeTab(i);
            continue;
        }
        setTabText(i, tabTextOf(window));
        if (window == active)
            setCurrentIndex(i);
        windows.removeOne(window);
    }
    for (QMdiSubWindow* window : windows) {
        const int index = addTab(tabTextOf(window));
        setTabData(index, QVariant::fromValue(QPointer<QMdiSubWindow>(window)));
        if (window == active)
            setCurrentIndex(index);
    }
    setVisible(count() >= MinimumTabs);
    setUpdatesEnabled(true);
}

void WindowSwitchBar::bringToFront(int index) {
    if (QMdiSubWindow* window = windowAt(index))
        m_mdi->setActiveSubWindow(window);
}

void WindowSwitchBar::contextMenuEvent(QContextMenuEvent* event) {
    const int index = tabAt(event->pos());
    QMdiSubWindow* window = windowAt(index);
    if (!window)
        return;
    setCurrentIndex(index);
    bringToFront(index);
    if (QMenu* menu = window->systemMenu())
        menu->exec(event->globalPos());
}
