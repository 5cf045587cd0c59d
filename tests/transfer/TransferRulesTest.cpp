#include "transfer/TransferRules.h"
#include "settings/AppSettings.h"
#include "settings/ServerProfile.h"
#include "transfer/DriveList.h"
#include "transfer/FileActions.h"
#include "transfer/PcDirectory.h"

#include "ScriptedPrompt.h"
#include "ServerDialogTestSupport.h"
#include "TempDir.h"
#include "TransferWindowTestSupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QStringList listedNames(const ServerFileList& entries) {
    QStringList names;
    for (const ServerFileEntry& e : entries)
        names.append(TransferRules::shownLocalName(e.name));
    names.sort();
    return names;
}

const ServerFileEntry* entryNamed(const ServerFileList& entries, const QByteArray& name) {
    auto it = std::find_if(entries.begin(), entries.end(),
                           [&](const ServerFileEntry& e) { return e.name == name; });
    return it == entries.end() ? nullptr : &*it;
}

// Answers the name dialogs from a queue.
class QueuedNames : public NameDialogs {
public:
    std::deque<std::optional<QString>> answers;
    QStringList asked;
    std::optional<QString> askRename(const QString& oldName) override {
        asked.append(oldName);
        return take();
    }
    std::optional<QString> askDirectoryName(const QStringList&) override { return take(); }

private:
    std::optional<QString> take() {
        if (answers.empty())
            return std::nullopt;
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
};

} // namespace

TEST(TransferRules, TransferModeDecidesTheDataTypeAutoByTheServerFilter) {
    AppSettings settings;
    EXPECT_EQ(TransferRules::asciiFor(settings, TransferAuto, QStringLiteral("index.html")), true);
    EXPECT_EQ(TransferRules::asciiFor(settings, TransferAuto, QStringLiteral("photo.GIF")), false)
        << "listed extensions go binary, whatever their letter case";
    EXPECT_EQ(TransferRules::asciiFor(settings, TransferAuto, QStringLiteral("a.tar.zip")), false);
    EXPECT_EQ(TransferRules::asciiFor(settings, TransferAuto, QStringLiteral("README")), false)
        << "no extension equals the first empty row of the filter";
    settings.Ext[5] = QStringLiteral(".bin");
    settings.Ext[6] = settings.Ext[7] = settings.Ext[8] = QStringLiteral(".x");
    EXPECT_EQ(TransferRules::asciiFor(settings, TransferAuto, QStringLiteral("README")), true);
    EXPECT_EQ(TransferRules::asciiFor(settings, TransferAscii, QStringLiteral("photo.gif")), true);
    EXPECT_EQ(TransferRules::asciiFor(settings, TransferBinary, QStringLiteral("a.txt")), false);
    EXPECT_EQ(TransferRules::counterText(3, 12), QStringLiteral("【 3/12 】"));
}

TEST(TransferRules, NamesCrossBetweenTheFileSystemAndTheServersCodeSystem) {
    ServerProfile profile;
    profile.Code = CodeSystemSjis;
    const QString japanese = QStringLiteral("営業 Memo.TXT");
    EXPECT_EQ(TransferRules::uploadName(japanese, profile), sjisBytes("営業 Memo.TXT"));
    profile.Code = CodeSystemEuc;
    profile.NameSmall = 1;
    EXPECT_EQ(TransferRules::uploadName(japanese, profile), eucBytes("営業 memo.txt"));
    EXPECT_FALSE(TransferRules::uploadName(QStringLiteral("smile😀.txt"), profile))
        << "a name the server's code system cannot hold is not sent under another name";
    EXPECT_EQ(TransferRules::downloadPath(QStringLiteral("/t"), eucBytes("日本語.HTML"),
                                          CodeSystemEuc, profile),
              QStringLiteral("/t/日本語.html"));
    profile.NameSmall = 0;
    EXPECT_EQ(TransferRules::downloadPath(QStringLiteral("/t/"), sjisBytes("表.CSV"),
                                          CodeSystemSjis, profile),
              QStringLiteral("/t/表.CSV"))
        << "0x5C as the second byte of a character is no separator";
    EXPECT_EQ(TransferRules::localPath(QStringLiteral("/"), QStringLiteral("a")),
              QStringLiteral("/a"));
    EXPECT_EQ(TransferRules::localPath(QStringLiteral("/tmp/x"), QStringLiteral("a b")),
              QStringLiteral("/tmp/x/a b"));
    for (const char* bad : {"", ".", "..", "a/b"})
        EXPECT_FALSE(TransferRules::isUsableLocalName(QString::fromUtf8(bad))) << bad;
    EXPECT_TRUE(TransferRules::isUsableLocalName(QStringLiteral(".hidden")));
}

TEST(PcDirectory, ListsEveryEntryWithDotAndDotDotHiddenNamesOnlyOnRequest) {
    TempDir dir;
    dir.write(QStringLiteral("b.txt"), "12345");
    dir.write(QStringLiteral(".secret"), "x");
    dir.write(QStringLiteral("日本語 ファイル.csv"), "a,b\n");
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    QDir(dir.path()).mkdir(QStringLiteral(".git"));

    ServerFileList entries;
    ASSERT_TRUE(PcDirectory::list(dir.path(), false, entries));
    EXPECT_EQ(listedNames(entries), utf8List({".", "..", "b.txt", "sub", "日本語 ファイル.csv"}));
    const ServerFileEntry* file = entryNamed(entries, "b.txt");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->size, 5);
    EXPECT_EQ(file->extension, QByteArray(".txt"));
    EXPECT_EQ(file->directory, 0);
    EXPECT_EQ(file->path, QFile::encodeName(dir.filePath(QStringLiteral("b.txt"))));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d$"))
                    .match(file->date)
                    .hasMatch())
        << file->date.toStdString();
    const ServerFileEntry* sub = entryNamed(entries, "sub");
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->directory, 1);
    EXPECT_EQ(sub->size, 0);
    EXPECT_TRUE(sub->extension.isEmpty());

    entries.clear();
    ASSERT_TRUE(PcDirectory::list(dir.path(), true, entries));
    EXPECT_EQ(listedNames(entries),
              utf8List({".", "..", ".git", ".secret", "b.txt", "sub", "日本語 ファイル.csv"}));
    EXPECT_EQ(entryNamed(entries, ".secret")->extension, QByteArray(".secret"));

    entries.clear();
    EXPECT_FALSE(PcDirectory::list(dir.filePath(QStringLiteral("b.txt")), true, entries))
        << "a file is no directory to list";
    EXPECT_TRUE(entries.empty());
    EXPECT_TRUE(PcDirectory::canonical(dir.filePath(QStringLiteral("b.txt"))).isEmpty());
    EXPECT_EQ(PcDirectory::canonical(dir.filePath(QStringLiteral("sub/.."))),
              QFileInfo(dir.path()).canonicalFilePath());
}

TEST(PcFileActions, DeleteRenameAndMakeDirectoryAskAndReportEachEntry) {
    TempDir dir;
    dir.write(QStringLiteral("keep.txt"), "keep");
    dir.write(QStringLiteral("gone.txt"), "gone");
    dir.write(QStringLiteral("taken.txt"), "taken");
    QDir(dir.path()).mkpath(QStringLiteral("full/inner"));
    QDir(dir.path()).mkdir(QStringLiteral("empty"));
    ServerFileList entries;
    ASSERT_TRUE(PcDirectory::list(dir.path(), false, entries));
    auto pick = [&](std::initializer_list<const char*> names) {
        ServerFileList chosen;
        for (const char* n : names)
            chosen.push_back(*entryNamed(entries, n));
        return chosen;
    };

    ScriptedPrompt prompt;
    prompt.expectQuestion(PromptAnswer::No);
    prompt.expectQuestion(PromptAnswer::Yes);
    prompt.expectQuestion(PromptAnswer::Yes);
    prompt.expectQuestion(PromptAnswer::Yes);
    PcFileActions::deleteEntries(dir.path(), pick({"keep.txt", "gone.txt", "full", "empty"}));
    EXPECT_EQ(prompt.texts(),
              utf8List({"keep.txt を削除しても宜しいですか？",
                        "gone.txt を削除しても宜しいですか？", "full を削除しても宜しいですか？",
                        "削除出来ませんでした。アクセス権／ディレクトリが空か確認して下さい。",
                        "empty を削除しても宜しいですか？"}));
    EXPECT_TRUE(dir.exists(QStringLiteral("keep.txt")));
    EXPECT_FALSE(dir.exists(QStringLiteral("gone.txt")));
    EXPECT_TRUE(dir.exists(QStringLiteral("full/inner"))) << "a directory with files stays";
    EXPECT_FALSE(dir.exists(QStringLiteral("empty")));

    prompt.clear();
    QueuedNames names;
    names.answers = {QStringLiteral("taken.txt"), QStringLiteral("a/b"), std::nullopt,
                     QStringLiteral("新しい 名前.txt")};
    PcFileActions::renameEntries(dir.path(), pick({"keep.txt", "keep.txt", "full", "keep.txt"}),
                                 names);
    EXPECT_EQ(prompt.texts(), utf8List({"同一名称のファイルが存在します。",
                                        "名称変更出来ませんでした。アクセス権を確認して下さい。"}));
    EXPECT_EQ(dir.read(QStringLiteral("taken.txt")), QByteArray("taken")) << "never replaced";
    EXPECT_EQ(dir.read(QStringLiteral("新しい 名前.txt")), QByteArray("keep"));

    prompt.clear();
    EXPECT_TRUE(PcFileActions::makeDirectory(dir.path(), QStringLiteral("作成")));
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("作成"))).isDir());
    EXPECT_FALSE(PcFileActions::makeDirectory(dir.path(), QStringLiteral("作成")));
    EXPECT_FALSE(PcFileActions::makeDirectory(dir.path(), QStringLiteral("../outside")));
    EXPECT_EQ(
        prompt.texts(),
        QStringList(
            2, QStringLiteral("ディレクトリが作成出来ませんでした。アクセス権を確認して下さい。")));
    EXPECT_FALSE(QFileInfo::exists(QDir(dir.path()).filePath(QStringLiteral("../outside"))));
}

TEST(DriveList, LinesLabelsAndTheDriveThatHoldsAPath) {
    const std::vector<DriveInfo> drives = {
        {QStringLiteral("/"), QString()},
        {QStringLiteral("/home"), QStringLiteral("data")},
        {QStringLiteral("/home/user/media"), QStringLiteral("USB")},
    };
    EXPECT_EQ(DriveList::lineText(drives[0]), QStringLiteral("/"));
    EXPECT_EQ(DriveList::lineText(drives[1]), QStringLiteral("/home  [data]"));
    EXPECT_EQ(DriveList::lineFor(drives, QStringLiteral("/home/user/media/x")), 2);
    EXPECT_EQ(DriveList::lineFor(drives, QStringLiteral("/home/user")), 1);
    EXPECT_EQ(DriveList::lineFor(drives, QStringLiteral("/homework")), 0)
        << "a root holds a path only up to a separator";
    EXPECT_EQ(DriveList::lineFor(drives, QStringLiteral("/home")), 1);
    EXPECT_EQ(DriveList::lineFor({}, QStringLiteral("/x")), -1);

    TempDir dir;
    EXPECT_TRUE(DriveList::isAvailable(dir.path()));
    EXPECT_FALSE(DriveList::isAvailable(dir.write(QStringLiteral("file"), "x")));
    EXPECT_FALSE(DriveList::isAvailable(dir.filePath(QStringLiteral("missing"))));

    const std::vector<DriveInfo> mounted = DriveList::mounted();
    ASSERT_FALSE(mounted.empty());
    EXPECT_TRUE(
        std::is_sorted(mounted.begin(), mounted.end(),
                       [](const DriveInfo& a, const DriveInfo& b) { return a.root < b.root; }));
    EXPECT_GE(DriveList::lineFor(mounted, QDir::tempPath()), 0);
}
