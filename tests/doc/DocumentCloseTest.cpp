#include "AppHarness.h"
#include "DocTestSupport.h"
#include "FtpServerFixture.h"
#include "ScriptedPrompt.h"

#include "commands/Command.h"
#include "settings/ServerProfile.h"

#include <QApplication>
#include <QMdiArea>
#include <QPointer>

#include <gtest/gtest.h>

namespace {

// The ways a user closes an editor window.
enum class ClosePath { CloseBox, CloseCommand, Exit };

// A save that cannot complete, and the file and bytes that must survive it.
struct FailingSave {
    const char* what;
    bool serverFile;
    const char* typed;      // appended to the text "old"
    const char* fileOnDisk; // the local file afterwards
};

const FailingSave FailingSaves[] = {
    {"server refuses the upload", true, " new", "old new"},
    {"character Shift_JIS cannot hold, server file", true, " \xf0\x9f\x98\x80", "old"},
    {"character Shift_JIS cannot hold, local file", false, " \xf0\x9f\x98\x80", "old"},
};

void closeBy(ClosePath path, AppHarness& h, CChildFrame* child) {
    switch (path) {
    case ClosePath::CloseBox:
        child->close();
        break;
    case ClosePath::CloseCommand:
        h.frame().mdiArea()->setActiveSubWindow(child);
        ASSERT_TRUE(h.frame().triggerCommand(CmdFileClose));
        break;
    case ClosePath::Exit:
        ASSERT_TRUE(h.frame().triggerCommand(CmdAppExit));
        break;
    }
    QApplication::processEvents();
}

} // namespace

// Yes to the closing question, then a save that fails: the window stays with its text, the file
// keeps what it held, and with several documents the exit stops there without asking the next.
TEST(DocumentClose, AFailedSaveKeepsTheWindowOnEveryClosePath) {
    FtpServerFixture::Options options;
    options.faults = {QStringLiteral("refuse=STOR")};
    FtpServerFixture server(options);
    ASSERT_TRUE(server.isRunning());
    for (ClosePath path : {ClosePath::CloseBox, ClosePath::CloseCommand, ClosePath::Exit}) {
        for (const FailingSave& save : FailingSaves) {
            SCOPED_TRACE(std::string(save.what) + ", close path " + std::to_string(int(path)));
            ScriptedPrompt prompt;
            AppHarness h;
            h.app().settings.Network = server.network();
            const QString dir = save.serverFile ? QStringLiteral("tran/") : QStringLiteral("pc/");
            h.dir().write(dir + QStringLiteral("a.txt"), "old");
            h.dir().write(QStringLiteral("pc/b.txt"), "b");
            ASSERT_TRUE(h.app().OpenTextDocument(
                h.dir().filePath(dir + QStringLiteral("a.txt")),
                server.profile(CodeSystemSjis, QStringLiteral("/")), save.serverFile, false));
            QPointer<CChildFrame> failing = h.frame().activeChildFrame();
            const QString text = QStringLiteral("old") + QString::fromUtf8(save.typed);
            appendText(h.frame(), QString::fromUtf8(save.typed));
            ASSERT_TRUE(h.openLocalText(h.pcFile(QStringLiteral("b.txt"))));
            appendText(h.frame(), QStringLiteral("changed"));

            prompt.expectQuestion(PromptAnswer::Yes);
            closeBy(path, h, failing);
            EXPECT_EQ(prompt.pendingAnswers(), 0);
            EXPECT_GE(prompt.texts().size(), 2) << "the question and the save's own message";
            EXPECT_EQ(h.frame().childFrames().size(), 2);
            EXPECT_EQ(failing ? failing->view()->toPlainText() : QString(), text);
            EXPECT_EQ(h.dir().read(dir + QStringLiteral("a.txt")), QByteArray(save.fileOnDisk));
            EXPECT_FALSE(server.exists("a.txt"));
        }
    }
}
