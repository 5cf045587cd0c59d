#include "settings/ServerFileIcon.h"
#include "settings/AppSettings.h"

#include <gtest/gtest.h>

TEST(ServerFileIcon, DefaultListFindsRowsIgnoringLetterCase) {
    AppSettings s;
    EXPECT_EQ(ServerFileIcon(s, u".GIF"), 2) << "row No.2, icon number 0";
    EXPECT_EQ(ServerFileIcon(s, u".gif"), 2);
    EXPECT_EQ(ServerFileIcon(s, u".zip"), 4) << "row No.11, icon number 2";
    EXPECT_EQ(ServerFileIcon(s, u".Xls"), 5);
    EXPECT_EQ(ServerFileIcon(s, u".html"), 0);
    EXPECT_EQ(ServerFileIcon(s, u".gi"), 0) << "a prefix is not equal";
    EXPECT_EQ(ServerFileIcon(s, u"．ｇｉｆ"), 0) << "full-width text is another extension";
}

TEST(ServerFileIcon, EmptyExtensionEqualsTheFirstEmptyRow) {
    AppSettings s;
    s.Icon[5] = 1; // row No.6 is the first empty row of the default list
    s.Icon[6] = 3;
    EXPECT_EQ(ServerFileIcon(s, u""), 3);
    s.Ext[5] = QStringLiteral(".txt");
    EXPECT_EQ(ServerFileIcon(s, u""), 5) << "now row No.7 is the first empty one";
    for (QString& ext : s.Ext)
        if (ext.isEmpty())
            ext = QStringLiteral(".x");
    EXPECT_EQ(ServerFileIcon(s, u""), 0);
}

TEST(ServerFileIcon, LowerNumberedRowWinsOverALaterEqualOne) {
    AppSettings s;
    s.Ext[8] = QStringLiteral(".ZIP");
    s.Icon[8] = 1;
    EXPECT_EQ(ServerFileIcon(s, u".zip"), 3) << "row No.9 comes before No.11";
}

TEST(ServerFileIcon, ListImagesAndFiltering) {
    AppSettings s;
    EXPECT_EQ(ServerListImage(s, true, u".gif"), 0) << "directories are never looked up";
    EXPECT_EQ(ServerListImage(s, false, u".txt"), 1);
    EXPECT_EQ(ServerListImage(s, false, u".pdf"), 2);
    EXPECT_EQ(ServerListImage(s, false, u".doc"), 5);
    EXPECT_FALSE(IsFilteredExtension(s, u".txt"));
    EXPECT_TRUE(IsFilteredExtension(s, u".JPG"));

    s.Icon[0] = 9; // a hand-edited file: no such picture
    EXPECT_EQ(ServerListImage(s, false, u".tif"), 1);
    EXPECT_TRUE(IsFilteredExtension(s, u".tif")) << "still one of the filter's extensions";
}
