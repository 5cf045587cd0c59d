#include "options/EditorPageRules.h"
#include "options/NetworkPageState.h"
#include "options/ProfileWorkingCopy.h"
#include "settings/ServerProfile.h"

#include <gtest/gtest.h>

namespace {

ProfileTable profiles() {
    ProfileTable p;
    p[0].Server = QStringLiteral("a");
    p[0].User = QStringLiteral("u");
    p[0].HisDir[3] = QStringLiteral("/kept");
    p[2].Server = QStringLiteral("ftp.example.jp");
    p[2].User = QStringLiteral("u2");
    p[2].Passwd = QStringLiteral("p2");
    return p;
}

} // namespace

TEST(ProfileWorkingCopy, ProfileWithoutPasswordIsStoredAsTypedWithItsHistory) {
    ProfileWorkingCopy copy(profiles());
    ProfileFields shown = copy.load(0);
    shown.Dir = QStringLiteral("/www");
    shown.Port = 2121;
    EXPECT_EQ(copy.store(shown).Server, QStringLiteral("a")) << "the controls keep it too";
    const ServerProfile& stored = copy.profile(0);
    EXPECT_EQ(stored.Server, QStringLiteral("a"));
    EXPECT_EQ(stored.User, QStringLiteral("u"));
    EXPECT_TRUE(stored.Passwd.isEmpty());
    EXPECT_EQ(stored.Dir, QStringLiteral("/www"));
    EXPECT_EQ(stored.Port, 2121);
    EXPECT_EQ(stored.HisDir[3], QStringLiteral("/kept"));
    EXPECT_EQ(copy.itemText(0), QStringLiteral("NO:0　【a】"));
}

TEST(ProfileWorkingCopy, PortsOfZeroOrLessShowAndStoreAsTheDefault) {
    auto p = profiles();
    p[2].Port = 0;
    ProfileWorkingCopy copy(p);
    ProfileFields shown = copy.load(2);
    EXPECT_EQ(shown.Port, 21);
    for (int port : {0, -5, -2147483647}) {
        shown.Port = port;
        EXPECT_EQ(copy.store(shown).Port, 21) << port;
        EXPECT_EQ(copy.profile(2).Port, 21);
    }
    shown.Port = 65535;
    copy.store(shown);
    EXPECT_EQ(copy.profile(2).Port, 65535);
}

TEST(ProfileWorkingCopy, BackupModeTurnsDeleteFirstOffAndTheExtensionFollowsTheList) {
    auto p = profiles();
    p[2].BackMode = 1;
    p[2].SvDel = 1;
    p[2].BackNo = 1;
    ProfileWorkingCopy copy(p);
    ProfileFields shown = copy.load(2);
    EXPECT_EQ(shown.SvDel, 0);
    EXPECT_FALSE(shown.deleteFirstEnabled());
    EXPECT_TRUE(shown.extensionListEnabled());
    copy.store(shown);
    EXPECT_EQ(copy.profile(2).BackExt, QStringLiteral(".old"));

    // A backup number from an edited file selects nothing and is stored as the first entry.
    p[2].BackNo = 7;
    ProfileWorkingCopy edited(p);
    shown = edited.load(2);
    EXPECT_EQ(shown.BackNo, -1);
    shown = edited.store(shown);
    EXPECT_EQ(shown.BackNo, 0);
    EXPECT_EQ(edited.profile(2).BackNo, 0);
    EXPECT_EQ(edited.profile(2).BackExt, QStringLiteral(".bak"));
}

TEST(ProfileWorkingCopy, OnlyAStoredServerCanBecomeTheDefault) {
    ProfileWorkingCopy copy(profiles(), 2);
    EXPECT_EQ(copy.defaultProfile(), 2);
    EXPECT_FALSE(copy.chooseDefault(1)) << "profile 1 has no server";
    EXPECT_FALSE(copy.chooseDefault(-1));
    EXPECT_FALSE(copy.chooseDefault(5));
    EXPECT_EQ(copy.defaultProfile(), 2);

    ProfileFields typed = copy.load(1);
    typed.Server = QStringLiteral("new.example.jp");
    EXPECT_FALSE(copy.chooseDefault(1)) << "typed but not stored";
    typed.User = QStringLiteral("u");
    typed.Passwd = QStringLiteral("p");
    copy.store(typed);
    EXPECT_TRUE(copy.chooseDefault(1));
    EXPECT_EQ(copy.defaultProfile(), 1);

    // A number no profile has stays as read until the user chooses.
    EXPECT_EQ(ProfileWorkingCopy(profiles(), 9).defaultProfile(), 9);
}

TEST(NetworkPageState, OddProxyModesStartAsTheSystemSettingsWithoutAName) {
    NetworkSettings settings;
    settings.Proxy = 5;
    settings.Name = QStringLiteral("proxy:8080");
    NetworkPageState state = NetworkPageState::from(settings, true);
    EXPECT_EQ(state.values.Proxy, 0);
    EXPECT_TRUE(state.values.Name.isEmpty());
    EXPECT_TRUE(state.debugLog);

    settings.Proxy = 1;
    EXPECT_TRUE(NetworkPageState::from(settings, false).values.Name.isEmpty());
    settings.Proxy = 2;
    state = NetworkPageState::from(settings, false);
    EXPECT_EQ(state.values.Name, QStringLiteral("proxy:8080"));
    EXPECT_TRUE(state.nameEnabled());

    state.chooseProxy(1);
    EXPECT_TRUE(state.values.Name.isEmpty());
    EXPECT_FALSE(state.nameEnabled());
    state.values.Name = QStringLiteral("typed");
    state.chooseProxy(2);
    EXPECT_EQ(state.values.Name, QStringLiteral("typed")) << "a named proxy keeps its name";
}

TEST(NetworkPageState, TheHiddenListingListSelectsOnlyItsTwoMethods) {
    EXPECT_EQ(ListingMethodSelection(0), 0);
    EXPECT_EQ(ListingMethodSelection(1), 1);
    EXPECT_EQ(ListingMethodSelection(2), -1);
    EXPECT_EQ(ListingMethodSelection(-1), -1);
    EXPECT_EQ(ListingMethods(),
              QStringList({QStringLiteral("MFC使用"), QStringLiteral("SDK使用")}));
}

TEST(EditorPageRules, FontDialogStartsAtFourThirdsOfThePointSize) {
    EXPECT_EQ(EditorPageRules::fontDialogHeight(QStringLiteral("11")), 14);
    EXPECT_EQ(EditorPageRules::fontDialogHeight(QStringLiteral("9")), 12);
    EXPECT_EQ(EditorPageRules::fontDialogHeight(QStringLiteral("12pt")), 16);
    EXPECT_EQ(EditorPageRules::fontDialogHeight(QStringLiteral("big")), 0);
    EXPECT_EQ(EditorPageRules::fontDialogHeight(QStringLiteral("99999999999")), 1638 * 4 / 3);
    EXPECT_DOUBLE_EQ(EditorPageRules::fontDialogPoints(14), 10.5);
    EXPECT_DOUBLE_EQ(EditorPageRules::fontDialogPoints(12), 9.0);
}

TEST(EditorPageRules, ChosenFontSizeDropsTenthsUnlessTheSizeWasLeftAlone) {
    EXPECT_EQ(EditorPageRules::fontSizeText(10.5), QStringLiteral("10"));
    EXPECT_EQ(EditorPageRules::fontSizeText(12.0), QStringLiteral("12"));
    EXPECT_EQ(EditorPageRules::fontSizeText(8.9), QStringLiteral("8"));
    EXPECT_EQ(EditorPageRules::fontSizeAfterDialog(QStringLiteral("11"), 10.5, 10.5),
              QStringLiteral("11"));
    EXPECT_EQ(EditorPageRules::fontSizeAfterDialog(QStringLiteral("11"), 10.5, 14.5),
              QStringLiteral("14"));
    EXPECT_EQ(EditorPageRules::boldFlag(700), 1);
    EXPECT_EQ(EditorPageRules::boldFlag(800), 0);
    EXPECT_EQ(EditorPageRules::boldFlag(400), 0);
}

TEST(EditorPageRules, EmptyLocalDirectoryMeansTheStartDirectory) {
    EXPECT_EQ(EditorPageRules::localDirectory(QString()), QStringLiteral("."));
    EXPECT_EQ(EditorPageRules::localDirectory(QStringLiteral("/tmp")), QStringLiteral("/tmp"));
    EXPECT_EQ(EditorPageRules::folderDialogTitle(QStringLiteral("/home/u")),
              QStringLiteral("フォルダ選択 【現在のﾌｫﾙﾀﾞ=/home/u】"));
}
