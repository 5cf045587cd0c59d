#include "AppHarness.h"
#include "ScriptedPrompt.h"

#include "app/CVantorpadApp.h"
#include "commands/EditorCommands.h"
#include "editor/CVantorpadView.h"
#include "frame/CMainFrame.h"
#include "platform/ScopedOverride.h"
#include "widgets/FixedPitchFontDialog.h"

#include <QApplication>
#include <QFontDatabase>
#include <QListWidget>
#include <QTimer>

#include <gtest/gtest.h>

TEST(FontCommand, ChoosesInTheEditorsFixedPitchJapaneseChooser) {
    if (!QFontDatabase::hasFamily(QStringLiteral("IPAGothic")))
        GTEST_SKIP() << "fonts-ipafont-gothic is not installed";
    ScriptedPrompt prompt;
    AppHarness h;
    const ScopedOverride chooser(CVantorpadView::hooks().chooseFont,
                                 CVantorpadView::defaultHooks().chooseFont);
    h.app().OnFileNew();
    CVantorpadView* view = h.frame().activeView();
    view->insertPlainText(QStringLiteral("日本語 abc"));
    view->selectAll();

    QStringList offered;
    QTimer::singleShot(0, [&offered] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<FixedPitchFontDialog*>(modal);
        if (!dialog) {
            ADD_FAILURE() << "not the editor's font chooser";
            if (modal)
                modal->close();
            return;
        }
        auto* families = dialog->findChild<QListWidget*>(QStringLiteral("Families"));
        for (int i = 0; i < families->count(); ++i)
            offered << families->item(i)->text();
        families->setCurrentItem(
            families->findItems(QStringLiteral("IPAGothic"), Qt::MatchExactly).front());
        dialog->accept();
    });
    ASSERT_TRUE(h.frame().triggerCommand(EditorCommand::FormatFont));

    EXPECT_FALSE(offered.contains(QStringLiteral("DejaVu Sans Mono"))) << "no Japanese";
    EXPECT_FALSE(offered.contains(QStringLiteral("IPAPGothic"))) << "proportional";
    EXPECT_EQ(view->textCursor().charFormat().font().family(), QStringLiteral("IPAGothic"));
}
