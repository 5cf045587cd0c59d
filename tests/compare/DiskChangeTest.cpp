#include "AppHarness.h"
#include "ScriptedPrompt.h"

#include "compare/CompareWindow.h"
#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"
#include "frame/CChildFrame.h"
#include "frame/CMainFrame.h"

#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QSaveFile>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Another program's save: a new file renamed over the old one, as most editors write.
void writeAsAnotherProgram(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    ASSERT_TRUE(file.commit());
}

// The user comes back to the document's window from another one.
void activate(AppHarness& h, CChildFrame* window, CChildFrame* other) {
    h.frame().mdiArea()->setActiveSubWindow(other);
    h.frame().mdiArea()->setActiveSubWindow(window);
    QTest::qWait(50); // the question comes once the activation has run its course
}

struct Opened {
    CChildFrame* window = nullptr;
    CChildFrame* other = nullptr;
};

Opened openBoth(AppHarness& h, const QString& path) {
    Opened opened;
    if (!h.openLocalText(h.pcFile(QStringLiteral("other.txt"))))
        return opened;
    opened.other = h.frame().activeChildFrame();
    if (!h.openLocalText(path))
        return opened;
    opened.window = h.frame().activeChildFrame();
    return opened;
}

CompareWindow* openComparison() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<CompareWindow*>(w); window && window->isVisible())
            return window;
    return nullptr;
}

} // namespace

// Each answer to "changed by another program" does what it says, asked once per change and
// only when the window is activated again; the document's own save is no change.
TEST(DiskChange, AChangedFileIsAskedAboutOnceWhenItsWindowIsActivated) {
    const QStringList buttons{QStringLiteral("再読込する"), QStringLiteral("比較する"),
                              QStringLiteral("編集中のテキストを残す")};
    ScriptedPrompt prompt;
    AppHarness h;
    h.dir().write(QStringLiteral("pc/other.txt"), "other");
    const QString path = h.dir().write(QStringLiteral("pc/a.txt"), "mine");
    const Opened opened = openBoth(h, path);
    ASSERT_TRUE(opened.window && opened.other);
    CVantorpadDoc* doc = opened.window->document();
    const auto text = [&] { return opened.window->view()->toPlainText(); };

    prompt.expectQuestion(PromptAnswer::Yes);
    writeAsAnotherProgram(path, "reloaded");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return activate(h, opened.window, opened.other), !prompt.shown().isEmpty(); }, 5000));
    EXPECT_EQ(text(), QStringLiteral("reloaded"));
    EXPECT_FALSE(doc->isModified());
    prompt.clear();

    // Keep: the editor's text stays and is now unsaved; the same change is not asked again.
    prompt.expectQuestion(PromptAnswer::Cancel);
    writeAsAnotherProgram(path, "theirs");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return activate(h, opened.window, opened.other), !prompt.shown().isEmpty(); }, 5000));
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].text,
              QStringLiteral("%1 は他のプログラムによって変更されました。").arg(path));
    EXPECT_EQ((QStringList{prompt.shown()[0].choices.yes, prompt.shown()[0].choices.no,
                           prompt.shown()[0].choices.cancel}),
              buttons);
    EXPECT_EQ(text(), QStringLiteral("reloaded"));
    EXPECT_TRUE(doc->isModified());
    activate(h, opened.window, opened.other);
    EXPECT_EQ(prompt.shown().size(), 1);

    // Saving writes the editor's text; that version is the document's own.
    ASSERT_TRUE(doc->DoSave(path).ok());
    activate(h, opened.window, opened.other);
    EXPECT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(h.dir().read(QStringLiteral("pc/a.txt")), QByteArray("reloaded"));

    // Compare: the two versions side by side.
    prompt.expectQuestion(PromptAnswer::No);
    writeAsAnotherProgram(path, "compared");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return activate(h, opened.window, opened.other), prompt.shown().size() == 2; },
        5000));
    ASSERT_NE(openComparison(), nullptr);
    openComparison()->close();

    // Deleted: said so, and the text stays to be saved.
    prompt.clear();
    ASSERT_TRUE(doc->DoSave(path).ok());
    QFile::remove(path);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return activate(h, opened.window, opened.other), !prompt.shown().isEmpty(); }, 5000));
    EXPECT_EQ(prompt.shown()[0].icon, PromptIcon::Warning);
    EXPECT_TRUE(prompt.shown()[0].text.startsWith(
        QStringLiteral("%1 は他のプログラムによって削除されました。").arg(path)));
    EXPECT_EQ(text(), QStringLiteral("reloaded"));
    EXPECT_TRUE(doc->isModified());
}

// A file another program rewrites every few milliseconds costs no question until the window
// is activated, and then one.
TEST(DiskChange, AFileRewrittenAgainAndAgainIsAskedAboutOnce) {
    ScriptedPrompt prompt;
    AppHarness h;
    h.dir().write(QStringLiteral("pc/other.txt"), "other");
    const QString path = h.dir().write(QStringLiteral("pc/busy.txt"), "0");
    const Opened opened = openBoth(h, path);
    ASSERT_TRUE(opened.window && opened.other);
    for (int i = 1; i <= 100; ++i) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray::number(i));
        file.close();
        QTest::qWait(10);
    }
    EXPECT_TRUE(prompt.shown().isEmpty());
    prompt.expectQuestion(PromptAnswer::Yes);
    activate(h, opened.window, opened.other);
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(opened.window->view()->toPlainText(), QStringLiteral("100"));
}
