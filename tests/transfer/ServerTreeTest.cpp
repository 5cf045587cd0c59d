#include "ftp/CFtpClient.h"
#include "settings/ServerProfile.h"
#include "transfer/CServerTree.h"
#include "transfer/ServerDirTree.h"

#include "ScriptedPrompt.h"
#include "ServerDialogTestSupport.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<CFtpClient> clientFor(const ServerDialogWorld& world, const QString& dir = {}) {
    ServerProfile p = world.settings.Profiles[0];
    p.Dir = dir;
    return CFtpClient::create(world.settings.Network, false, p, world.trust.trust());
}

// The texts of an item's children, sorted: the tree keeps the server's listing order.
QStringList childTexts(QTreeWidgetItem* item) {
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i)
        texts.append(item->child(i)->text(0));
    texts.sort();
    return texts;
}

QTreeWidgetItem* childNamedText(QTreeWidgetItem* item, const QString& text) {
    for (int i = 0; i < item->childCount(); ++i) {
        if (item->child(i)->text(0) == text)
            return item->child(i);
    }
    ADD_FAILURE() << "no child " << text.toStdString();
    return nullptr;
}

// pub/ with docs/ (files only) and empty/, home/u/ with docs/old/, and a file at the top.
void layOut(FtpServerFixture& server) {
    server.makeDir("pub");
    server.makeDir("pub/docs");
    server.writeFile("pub/docs/a.txt", "a");
    server.makeDir("pub/empty");
    server.makeDir("home");
    server.makeDir("home/u");
    server.makeDir("home/u/docs");
    server.makeDir("home/u/docs/old");
    server.writeFile("top.txt", "t");
}

} // namespace

TEST(CServerTree, RootIsTheLogonDirectoryAndExpandingListsAfresh) {
    ServerDialogWorld world;
    layOut(world.server);
    auto client = clientFor(world);
    ScriptedPrompt prompt;
    CServerTree dialog(*client, QString());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("サーバディレクトリ"));
    EXPECT_TRUE(client->isConnected()) << "the dialog logged on";
    ServerDirTree* tree = dialog.tree();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    EXPECT_EQ(root->text(0), QStringLiteral("/"));
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(childTexts(root), strings({"home", "pub"})) << "directories only";

    QTreeWidgetItem* pub = childNamedText(root, QStringLiteral("pub"));
    ASSERT_NE(pub, nullptr);
    EXPECT_EQ(childTexts(pub), strings({"1"})) << "a placeholder gives the expand button";
    pub->setExpanded(true);
    EXPECT_EQ(childTexts(pub), strings({"docs", "empty"}));
    QTreeWidgetItem* docs = childNamedText(pub, QStringLiteral("docs"));
    EXPECT_EQ(childTexts(docs), strings({"1"})) << "files alone count as content";
    EXPECT_EQ(childNamedText(pub, QStringLiteral("empty"))->childCount(), 0);
    docs->setExpanded(true);
    EXPECT_EQ(docs->childCount(), 0) << "the placeholder goes, no directory comes";
    EXPECT_EQ(tree->itemPath(docs), QStringLiteral("/pub/docs"));

    world.server.makeDir("pub/later");
    pub->setExpanded(false);
    pub->setExpanded(true);
    EXPECT_EQ(childTexts(pub), strings({"docs", "empty", "later"})) << "no cache";

    tree->setCurrentItem(childNamedText(pub, QStringLiteral("docs"))); // expanding made new items
    dialog.accept();
    EXPECT_EQ(dialog.directory(), QStringLiteral("/pub/docs"));
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST(CServerTree, PathsBelowAHomeRootAndTheWalkToTheStartDirectory) {
    ServerDialogWorld world;
    layOut(world.server);
    auto client = clientFor(world, QStringLiteral("/home/u"));
    ScriptedPrompt prompt;
    ASSERT_EQ(client->OpenSession().status(), ResultStatus::Done);
    ASSERT_EQ(client->SetServerDir().status(), ResultStatus::Done);
    {
        CServerTree dialog(*client, QStringLiteral("/home/u/docs/old"));
        ServerDirTree* tree = dialog.tree();
        QTreeWidgetItem* root = tree->topLevelItem(0);
        EXPECT_EQ(root->text(0), QStringLiteral("/home/u"));
        QTreeWidgetItem* old = tree->currentItem();
        ASSERT_NE(old, nullptr);
        EXPECT_EQ(old->text(0), QStringLiteral("old"));
        EXPECT_TRUE(old->font(0).bold());
        EXPECT_EQ(tree->itemPath(old->parent()), QStringLiteral("/home/u/docs"));
        EXPECT_EQ(tree->itemPath(old), QStringLiteral("/home/u/docs/old"));
        EXPECT_EQ(tree->itemPath(root), QStringLiteral("/home/u"));
        dialog.reject();
        EXPECT_EQ(dialog.directory(), QStringLiteral("/home/u/docs/old"));
    }
    EXPECT_TRUE(client->isConnected()) << "a connection given to the dialog stays open";

    // A start directory that is not there stops at the last item found.
    CServerTree dialog(*client, QStringLiteral("/home/u/docs/missing"));
    EXPECT_EQ(dialog.tree()->currentItem()->text(0), QStringLiteral("docs"));
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST(CServerTree, WithoutAConnectionOneItemSaysSoAndOkKeepsTheDirectory) {
    ServerDialogWorld world;
    world.settings.Profiles[0].Passwd = QStringLiteral("wrong");
    auto client = clientFor(world);
    ScriptedPrompt prompt;
    {
        CServerTree dialog(*client, QStringLiteral("/pub"));
        EXPECT_EQ(prompt.texts().size(), 1) << "the logon's own message";
        ServerDirTree* tree = dialog.tree();
        ASSERT_EQ(tree->topLevelItemCount(), 1);
        QTreeWidgetItem* item = tree->topLevelItem(0);
        EXPECT_EQ(item->text(0), QStringLiteral("ＦＴＰセッションが確立されていません。"));
        EXPECT_TRUE(item->toolTip(0).contains(u"530")) << "the server's refusal as the detail";
        EXPECT_GE(tree->columnWidth(0), tree->fontMetrics().horizontalAdvance(item->text(0)))
            << "shown whole";
        EXPECT_FALSE(item->isSelected());
        EXPECT_EQ(item->childCount(), 0);
        tree->setCurrentItem(item);
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.directory(), QStringLiteral("/pub")) << "the message is no directory";
    }
    EXPECT_FALSE(client->isConnected());
}

TEST(CServerTree, ClosesOnlyTheConnectionItOpened) {
    ServerDialogWorld world;
    auto client = clientFor(world);
    ScriptedPrompt prompt;
    {
        CServerTree dialog(*client, QString());
        EXPECT_TRUE(client->isConnected());
    }
    EXPECT_FALSE(client->isConnected());
}
