#pragma once

#include <QList>

#include <functional>

struct AppSettings;
class CVantorpadView;
class QMenu;

// The editor's items of the View menu: the toggles kept in the settings (line numbers, caret
// line, matching bracket, spaces and line ends, folding), which apply to every open editor, and
// the "言語" menu that shows and changes the language of the active one.
void addEditorViewItems(QMenu* viewMenu, AppSettings& settings,
                        std::function<CVantorpadView*()> activeView,
                        std::function<QList<CVantorpadView*>()> allViews);
