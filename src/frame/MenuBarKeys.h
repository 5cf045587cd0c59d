#pragma once

#include <QObject>

class QMainWindow;
class QString;

// A name shown in a menu item or a tab exactly as it is: every '&' doubled, so that a file
// named "r&d.txt" gives no access key and takes no Alt key from the main window.
QString shownAsIs(const QString& name);

// Keyboard access to the main window's menu bar for a title that carries no mnemonic.
//
// Alt+F belongs to the transfer command (the accelerator table). A File menu titled "&F" would
// register Alt+F a second time, which Qt treats as ambiguous: neither fires and the next key lands
// in the document. So the title names its letter without the mnemonic marker ("ファイル(F)") and
// this object opens it another way: F10 opens the first menu, as desktop programs do; and where
// the style offers menu-bar navigation (Alt pressed and released hands the bar the keyboard), the
// letter in parentheses opens its menu. Neither registers a second claim on Alt+F.
class MenuBarKeys : public QObject {
    Q_OBJECT
public:
    explicit MenuBarKeys(QMainWindow* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMainWindow* m_window;
};
