#include "AppHarness.h"
#include "RecoveryTestSupport.h"
#include "ScriptedPrompt.h"
#include "TempDir.h"
#include "settings/ServerProfile.h"

#include "app/CVantorpadApp.h"
#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"
#include "encoding/LosslessCodec.h"
#include "frame/CChildFrame.h"
#include "frame/CMainFrame.h"
#include "recovery/RecoveryStore.h"
#include "restore/DocumentRecovery.h"
#include "restore/RecoveryDialog.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

void typeAtEnd(CMainFrame& frame, const QString& text) {
    CVantorpadView* view = frame.activeView();
    const qsizetype end = view->toPlainText().size();
    view->select(end, end);
    view->insertPlainText(text);
}

CVantorpadDoc* openLocal(AppHarness& h, const QString& name, const QByteArray& bytes) {
    const QString path = h.pcFile(name);
    writeFileBytes(path, bytes);
    if (!h.app().OpenTextDocument(path, h.app().currentProfile(), false, false))
        return nullptr;
    return h.frame().activeDocument();
}

// A leftover of a run that is gone, laid out as that run would have written it.
QString leaveBehind(const QString& dir, int n, const RecoveryRecord& record) {
    QDir().mkpath(dir);
    const QString path = QDir(dir).filePath(QStringLiteral("999999-0badf00d-%1.vrec").arg(n));
    EXPECT_TRUE(RecoveryStore::writeFile(path, RecoveryFormat::write(record)).ok());
    return path;
}

} // namespace

TEST(DocumentRecovery, UnsavedTextIsKeptUntilSavedOrGivenUp) {
    const TempDir state;
    const ScopedStateHome home(state.path());
    const QString dir = recoveryDirIn(state.path());
    ScriptedPrompt prompt;
    AppHarness h;
    const QByteArray original = toCp932(QStringLiteral("一行目\r\n"));
    CVantorpadDoc* doc = openLocal(h, QStringLiteral("a.txt"), original);
    ASSERT_NE(doc, nullptr);
    DocumentRecovery& recovery = h.app().documentRecovery();
    recovery.writePending();
    EXPECT_TRUE(recoveryFiles(dir).isEmpty()); // nothing unsaved yet

    typeAtEnd(h.frame(), QStringLiteral("二行目\r\n"));
    recovery.writePending();
    ASSERT_EQ(recoveryFiles(dir).size(), 1);
    const Result<RecoveryRecord> kept = readRecovery(recoveryFiles(dir).front());
    ASSERT_TRUE(kept.ok()) << kept.message().toStdString();
    EXPECT_EQ(kept->kind, RecoveryKind::Local);
    EXPECT_EQ(kept->path, h.pcFile(QStringLiteral("a.txt")));
    EXPECT_EQ(kept->lineEnd, LineEnd::CrLf);
    EXPECT_EQ(kept->body, original + toCp932(QStringLiteral("二行目\r\n")));

    doc->OnFileSave();
    recovery.writePending();
    EXPECT_TRUE(recoveryFiles(dir).isEmpty());

    typeAtEnd(h.frame(), QStringLiteral("x"));
    recovery.writePending();
    EXPECT_EQ(recoveryFiles(dir).size(), 1);
    // Closed without saving: the user gave the text up.
    prompt.expectQuestion(PromptAnswer::No);
    h.frame().childFrames().front()->close();
    recovery.writePending();
    EXPECT_TRUE(recoveryFiles(dir).isEmpty());
    EXPECT_EQ(prompt.pendingAnswers(), 0);
}

TEST(DocumentRecovery, TwoRunsNeverOfferEachOthersFiles) {
    const TempDir state;
    const ScopedStateHome home(state.path());
    const QString dir = recoveryDirIn(state.path());
    ScriptedPrompt prompt;
    auto first = std::make_unique<AppHarness>();
    ASSERT_NE(openLocal(*first, QStringLiteral("a.txt"), "a"), nullptr);
    typeAtEnd(first->frame(), QStringLiteral("b"));
    first->app().documentRecovery().writePending();
    ASSERT_EQ(recoveryFiles(dir).size(), 1);

    {
        AppHarness second;
        int asked = 0;
        second.app().hooks().askRecovery = [&](const QList<RecoveryOffer>&, QWidget*) {
            ++asked;
            return RecoveryAnswer{RecoveryChoice::RestoreAll, {}};
        };
        second.app().OfferRecovery();
        EXPECT_EQ(asked, 0);
        EXPECT_EQ(recoveryFiles(dir).size(), 1);
    }
    // A normal end takes the run's files with it.
    prompt.expectQuestion(PromptAnswer::No);
    first->frame().close();
    first.reset();
    EXPECT_TRUE(recoveryFiles(dir).isEmpty());
}

// A recovery folder that cannot be made, or a file that cannot be written there: said once,
// and editing and saving go on.
TEST(DocumentRecovery, WhatCannotBeKeptIsSaidOnce) {
    for (const bool folderMissing : {true, false}) {
        SCOPED_TRACE(folderMissing);
        const TempDir state;
        const QString home =
            folderMissing ? state.write(QStringLiteral("state"), "a file") : state.path();
        const ScopedStateHome scoped(home);
        ScriptedPrompt prompt;
        AppHarness h;
        const QString dir = recoveryDirIn(home);
        if (!folderMissing) {
            // Where the first documents' files would go, folders stand in the way.
            for (quint64 n : {1, 2})
                QDir().mkpath(h.app().documentRecovery().store().pathFor(n));
        }
        ASSERT_NE(openLocal(h, QStringLiteral("a.txt"), "a"), nullptr);
        for (const QString& typed : {QStringLiteral("b"), QStringLiteral("c")}) {
            typeAtEnd(h.frame(), typed);
            h.app().documentRecovery().writePending();
            QCoreApplication::processEvents();
        }
        ASSERT_EQ(prompt.texts().size(), 1);
        const QString said = folderMissing
                                 ? QStringLiteral("復元用のフォルダ %1 を作成出来ません。").arg(dir)
                                 : QStringLiteral("復元ファイル %1 を保存出来ません。")
                                       .arg(h.app().documentRecovery().store().pathFor(1));
        EXPECT_TRUE(prompt.texts().front().startsWith(said))
            << prompt.texts().front().toStdString();
        EXPECT_TRUE(prompt.texts().front().contains(QStringLiteral("\n編集は続けられますが")));
        h.frame().activeDocument()->OnFileSave();
        EXPECT_EQ(readFileBytes(h.pcFile(QStringLiteral("a.txt"))), QByteArray("abc"));
    }
}

// What cannot go back where it came from is kept in a document without a file, and a file
// that cannot be read stays for the user to look at.
TEST(DocumentRecovery, LeftoversAreRestoredWhereTheyCanGo) {
    const TempDir state;
    const ScopedStateHome home(state.path());
    const QString dir = recoveryDirIn(state.path());
    ScriptedPrompt prompt;
    AppHarness h;

    RecoveryRecord local;
    local.kind = RecoveryKind::Local;
    local.path = h.pcFile(QStringLiteral("gone.txt")); // deleted since
    local.lineEnd = LineEnd::CrLf;
    local.body = toCp932(QStringLiteral("消えたファイル\r\n")) + "\x80";
    RecoveryRecord otherServer;
    otherServer.kind = RecoveryKind::Server;
    otherServer.path = h.tranFile(QStringLiteral("page.txt"));
    otherServer.profile = {1,
                           QStringLiteral("old.example.jp"),
                           QStringLiteral("me"),
                           ProtocolFtp,
                           21,
                           CodeSystemSjis,
                           QStringLiteral("/")};
    otherServer.fileName = QStringLiteral("page.txt");
    otherServer.body = "server text";
    const QString localFile = leaveBehind(dir, 1, local);
    const QString serverFile = leaveBehind(dir, 2, otherServer);
    const QString cut = leaveBehind(dir, 3, local);
    writeFileBytes(cut, readFileBytes(cut).chopped(1));

    QList<RecoveryOffer> offered;
    h.app().hooks().askRecovery = [&](const QList<RecoveryOffer>& offers, QWidget*) {
        offered = offers;
        return RecoveryAnswer{RecoveryChoice::RestoreAll, {}};
    };
    h.app().OfferRecovery();
    ASSERT_EQ(offered.size(), 3);
    EXPECT_EQ(offered[0].document, QDir::toNativeSeparators(local.path));
    EXPECT_EQ(offered[1].document, QStringLiteral("NO:1 old.example.jp:/page.txt"));
    EXPECT_FALSE(offered[1].note.isEmpty());
    EXPECT_FALSE(offered[2].record);
    EXPECT_EQ(offered[2].note, QStringLiteral("復元ファイルが途中で切れています。"));
    EXPECT_EQ(prompt.texts(),
              QStringList{QStringLiteral("NO:1 old.example.jp:/page.txt のサーバ設定が変わった為、"
                                         "サーバに関係の無い文書として復元しました。")});

    const QList<CChildFrame*> frames = h.frame().childFrames();
    ASSERT_EQ(frames.size(), 2);
    CVantorpadDoc* restoredLocal = frames[0]->document();
    CVantorpadDoc* restoredServer = frames[1]->document();
    EXPECT_TRUE(restoredLocal->isModified());
    EXPECT_EQ(restoredLocal->pathName(), local.path);
    EXPECT_FALSE(restoredServer->serverFile());
    EXPECT_TRUE(restoredServer->pathName().isEmpty());
    EXPECT_EQ(restoredServer->title(), QStringLiteral("page.txt"));
    EXPECT_TRUE(restoredServer->isModified());
    EXPECT_FALSE(QFile::exists(otherServer.path)); // nothing written where it may not belong

    // The restored texts are this run's to keep now; the unreadable file stays.
    EXPECT_FALSE(QFile::exists(localFile));
    EXPECT_FALSE(QFile::exists(serverFile));
    EXPECT_TRUE(QFile::exists(cut));
    EXPECT_EQ(recoveryFiles(dir).size(), 3);

    restoredLocal->OnFileSave();
    EXPECT_EQ(readFileBytes(local.path), local.body);
}

// The dialog as start-up shows it, answered as the user would: what is restored, what is
// thrown away and what stays for the next start.
TEST(RecoveryDialog, TheChoiceDecidesWhichFilesStay) {
    const struct {
        const char* name;
        const char16_t* button; // nullptr: the dialog is closed
        int select;             // the row to select first, -1 for none
        int restored;
        QList<int> staying; // leftovers still there afterwards
    } cases[] = {
        {"later", nullptr, -1, 0, {0, 1, 2}},
        {"discard", u"破棄", -1, 0, {}},
        {"selected", u"選択したものを復元", 1, 1, {0, 2}},
        {"all", u"すべて復元", -1, 2, {2}}, // the unreadable one stays
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TempDir state;
        const ScopedStateHome home(state.path());
        const QString dir = recoveryDirIn(state.path());
        ScriptedPrompt prompt;
        AppHarness h;
        QStringList leftovers;
        for (int i = 0; i < 2; ++i) {
            RecoveryRecord record;
            record.title = QStringLiteral("新規%1").arg(i);
            record.body = QByteArray::number(i);
            leftovers.append(leaveBehind(dir, i + 1, record));
        }
        leftovers.append(leaveBehind(dir, 3, RecoveryRecord()));
        writeFileBytes(leftovers[2], "VANTORPAD-RECOVERY 9\n");

        bool answered = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<RecoveryDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            answered = true;
            if (c.select >= 0)
                dialog->list()->topLevelItem(c.select)->setSelected(true);
            if (!c.button) {
                dialog->close();
                return;
            }
            for (QPushButton* b : dialog->findChildren<QPushButton*>())
                if (b->text() == QString::fromUtf16(c.button))
                    b->click();
        });
        h.app().OfferRecovery();
        EXPECT_TRUE(answered);
        EXPECT_EQ(h.frame().childFrames().size(), c.restored);
        for (int i = 0; i < leftovers.size(); ++i)
            EXPECT_EQ(QFile::exists(leftovers[i]), c.staying.contains(i)) << i;
        if (c.select >= 0) {
            ASSERT_EQ(h.frame().childFrames().size(), 1);
            EXPECT_EQ(h.frame().activeDocument()->title(), QStringLiteral("新規1"));
        }
    }
}

TEST(RecoveryDialog, ListsTheOffersAndSaysWhatWasChosen) {
    RecoveryRecord record;
    record.kind = RecoveryKind::Local;
    record.path = QStringLiteral("/pc/a.txt");
    const QList<RecoveryOffer> offers = {
        {QStringLiteral("/r/1.vrec"), record, QStringLiteral("/pc/a.txt"),
         QStringLiteral("2026/12/08 12:00:00"), QString()},
        {QStringLiteral("/r/2.vrec"), std::nullopt, QStringLiteral("/r/2.vrec"), QString(),
         QStringLiteral("復元ファイルが途中で切れています。")},
        {QStringLiteral("/r/3.vrec"), record, QStringLiteral("NO:0 host:/p.txt"), QString(),
         QString()},
    };
    const auto button = [](RecoveryDialog& d, const QString& text) {
        for (QPushButton* b : d.findChildren<QPushButton*>())
            if (b->text() == text)
                return b;
        return static_cast<QPushButton*>(nullptr);
    };
    {
        RecoveryDialog dialog(offers);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("復元"));
        QTreeWidget* list = dialog.list();
        ASSERT_EQ(list->topLevelItemCount(), 3);
        EXPECT_EQ(list->topLevelItem(2)->text(0), QStringLiteral("NO:0 host:/p.txt"));
        EXPECT_FALSE(list->topLevelItem(1)->flags() & Qt::ItemIsSelectable);
        QPushButton* selected = button(dialog, QStringLiteral("選択したものを復元"));
        ASSERT_NE(selected, nullptr);
        EXPECT_FALSE(selected->isEnabled());
        list->topLevelItem(2)->setSelected(true);
        selected->click();
        EXPECT_EQ(dialog.answer().choice, RecoveryChoice::RestoreSelected);
        EXPECT_EQ(dialog.answer().selected, QList<int>{2});
    }
    for (const auto& [text, choice] :
         {std::pair{QStringLiteral("すべて復元"), RecoveryChoice::RestoreAll},
          std::pair{QStringLiteral("破棄"), RecoveryChoice::Discard}}) {
        RecoveryDialog dialog(offers);
        button(dialog, text)->click();
        EXPECT_EQ(dialog.answer().choice, choice);
    }
    RecoveryDialog closed(offers);
    closed.show();
    closed.close();
    EXPECT_EQ(closed.answer().choice, RecoveryChoice::Later);
}
