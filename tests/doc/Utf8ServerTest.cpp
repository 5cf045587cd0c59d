#include "AppHarness.h"
#include "DocTestSupport.h"
#include "FtpServerFixture.h"
#include "ScriptedPrompt.h"

#include "commands/Command.h"
#include "settings/ServerProfile.h"

#include <gtest/gtest.h>

namespace {

const QByteArray Dir = "\xe6\x97\xa5\xe6\x9c\xac";      // 日本
const QByteArray Name = "\xe3\x83\xa1\xe3\x83\xa2.txt"; // メモ.txt

} // namespace

// A UTF-8 server: its Japanese directory and file names are reached from the profile's text,
// the text is edited as UTF-8 and goes back unconverted, with a backup beside it. A file that
// came as plain ASCII goes back as UTF-8 too, and so does one with a byte that is no UTF-8, that
// byte as it was; a Shift_JIS file is refused, the server untouched.
TEST(Utf8Server, JapaneseNamesAndTextRoundTrip) {
    const struct {
        const char* name;
        QByteArray before;
        QByteArray after; // nothing: refused
    } cases[] = {
        {"utf-8", "\xe6\x97\xa7", "\xe6\x97\xa7\xe6\x96\xb0"}, // 旧 + 新
        {"ascii", "old", "old\xe6\x96\xb0"},
        // メモ and a stray byte: valid CP932 as a whole, yet UTF-8 with the byte kept.
        {"utf-8 with a byte that is no utf-8",
         "\xe3\x83\xa1\xe3\x83\xa2\x93"
         "a",
         "\xe3\x83\xa1\xe3\x83\xa2\x93"
         "a\xe6\x96\xb0"},
        {"shift_jis", "\x8b\x8c", QByteArray()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FtpServerFixture server;
        ASSERT_TRUE(server.isRunning());
        server.makeDir(Dir);
        server.writeFile(Dir + '/' + Name, c.before);
        ScriptedPrompt prompt;
        AppHarness h;
        h.app().settings.Network = server.network();
        ServerProfile profile = server.profile(CodeSystemUtf8, QStringLiteral("/日本"));
        profile.BackMode = 1;
        profile.BackExt = QStringLiteral(".bak");
        CVantorpadDoc* doc = h.openFromServer(profile, Name);
        ASSERT_NE(doc, nullptr) << prompt.texts().join(u'|').toStdString();
        EXPECT_EQ(doc->title(), QStringLiteral("メモ.txt"));
        appendText(h.frame(), QStringLiteral("新"));
        ASSERT_TRUE(h.frame().triggerCommand(CmdFileSave));
        if (c.after.isEmpty()) {
            EXPECT_EQ(
                prompt.texts().back(),
                QStringLiteral("Shift_JIS のファイルの為、UTF-8 のサーバ(%1)に送信しませんでした。")
                    .arg(server.host()));
            EXPECT_EQ(server.readFile(Dir + '/' + Name), c.before);
            EXPECT_TRUE(doc->serverCopyPending());
            continue;
        }
        EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'|').toStdString();
        EXPECT_EQ(server.readFile(Dir + '/' + Name), c.after);
        EXPECT_EQ(server.readFile(Dir + '/' + Name + ".bak"), c.before);
    }
}
