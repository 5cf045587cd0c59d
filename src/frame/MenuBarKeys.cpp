#include "frame/MenuBarKeys.h"

#include <QAction>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

// The title's letter in parentheses without a mnemonic marker, as in "ファイル(F)".
bool titleNamesKey(const QString& title, const QString& typed) {
    return !typed.isEmpty() && !title.contains(u'&') &&
           title.endsWith(QStringLiteral("(%1)").arg(typed.toUpper()));
}

} // namespace

QString shownAsIs(const QString& name) {
    QString text = name;
    return text.replace(u'&', QStringLiteral("&&"));
}

MenuBarKeys::MenuBarKeys(QMainWindow* window) : QObject(window), m_window(window) {
    auto* openFirst = new QAction(window);
    openFirst->setObjectName(QStringLiteral("OpenMenuBar"));
    openFirst->setShortcut(QKeySequence(Qt::Key_F10));
    openFirst->setShortcutContext(Qt::WindowShortcut);
    connect(openFirst, &QAction::triggered, this, [window] {
        QMenuBar* bar = window->menuBar();
        if (!bar->actions().isEmpty())
            bar->setActiveAction(bar->actions().front());
    });
    window->addAction(openFirst);
    window->menuBar()->installEventFilter(this);
}

bool MenuBarKeys::eventFilter(QObject* watched, QEvent* event) {
    auto* bar = qobject_cast<QMenuBar*>(watched);
    if (!bar || event->type() != QEvent::KeyPress || !bar->hasFocus())
        return QObject::eventFilter(watched, event);
    // The bar has the keyboard only in its navigation mode; a popup that is open takes its own
    // keys.
    if (QAction* active = bar->activeAction();
        active && active->menu() && active->menu()->isVisible())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~(Qt::AltModifier | Qt::KeypadModifier))
        return false;
    for (QAction* title : bar->actions()) {
        if (titleNamesKey(title->text(), key->text())) {
            bar->setActiveAction(title);
            return true;
        }
    }
    return false;
}
