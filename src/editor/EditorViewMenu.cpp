#include "editor/EditorViewMenu.h"

#include "editor/CVantorpadView.h"
#include "settings/AppSettings.h"

#include <QActionGroup>
#include <QMenu>

void addEditorViewItems(QMenu* viewMenu, AppSettings& settings,
                        std::function<CVantorpadView*()> activeView,
                        std::function<QList<CVantorpadView*>()> allViews) {
    viewMenu->addSeparator();
    AppSettings::EditorView& v = settings.View;
    const struct {
        const char16_t* text;
        const char16_t* help;
        int* value;
    } toggles[] = {
        {u"行番号(&L)", u"エディタの左端に行番号を表示します", &v.LineNumbers},
        {u"カーソル行の強調(&C)", u"カーソルのある行の背景に色を付けます", &v.CaretLine},
        {u"対応する括弧の強調(&M)", u"カーソル位置の括弧と対応する括弧を強調します", &v.BraceMatch},
        {u"空白・タブ・改行の表示(&W)", u"空白、タブ、改行を記号で表示します", &v.ShowBlanks},
        {u"折りたたみ(&O)", u"言語の構造に沿って行を折りたためるようにします", &v.Folding},
    };
    QList<std::pair<QAction*, int*>> checks;
    for (const auto& t : toggles) {
        QAction* toggle = viewMenu->addAction(QString::fromUtf16(t.text));
        toggle->setCheckable(true);
        toggle->setStatusTip(QString::fromUtf16(t.help));
        checks.append({toggle, t.value});
        QObject::connect(toggle, &QAction::triggered, viewMenu,
                         [value = t.value, allViews](bool on) {
                             *value = on ? 1 : 0;
                             for (CVantorpadView* view : allViews())
                                 view->applyViewOptions();
                         });
    }
    QMenu* languages = viewMenu->addMenu(QStringLiteral("言語"));
    auto* group = new QActionGroup(languages);
    for (SyntaxLanguage language : syntaxLanguages()) {
        QAction* item = languages->addAction(syntaxLanguageName(language));
        item->setCheckable(true);
        item->setData(int(language));
        item->setStatusTip(QStringLiteral("この言語として色分けします"));
        group->addAction(item);
        QObject::connect(item, &QAction::triggered, languages, [language, activeView] {
            if (CVantorpadView* view = activeView())
                view->setLanguage(language);
        });
    }
    QObject::connect(viewMenu, &QMenu::aboutToShow, viewMenu, [checks, languages, activeView] {
        for (const auto& [action, value] : checks)
            action->setChecked(*value != 0);
        CVantorpadView* view = activeView();
        languages->setEnabled(view != nullptr);
        for (QAction* item : languages->actions())
            item->setChecked(view && item->data().toInt() == int(view->language()));
    });
}
