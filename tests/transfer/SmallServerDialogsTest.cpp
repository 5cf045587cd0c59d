#include "transfer/CSvRename.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QLineEdit* edit(QWidget& dialog, const char* name) {
    auto* e = dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_NE(e, nullptr) << name;
    return e;
}

// Types into the new-name field and presses OK; returns the dialog's result.
int renameTo(CSvRename& dialog, const QString& text) {
    QLineEdit* field = edit(dialog, "NewName");
    field->clear();
    QTest::keyClicks(field, text);
    dialog.show();
    QTest::keyClick(field, Qt::Key_Return);
    return dialog.result();
}

} // namespace

TEST(CSvRename, OldNameIsShownReadOnlyAndANewNameIsAccepted) {
    CSvRename dialog(QStringLiteral("index.html"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ファイル名変更"));
    EXPECT_TRUE(edit(dialog, "OldName")->isReadOnly());
    EXPECT_EQ(edit(dialog, "OldName")->text(), QStringLiteral("index.html"));
    EXPECT_EQ(renameTo(dialog, QStringLiteral("top.html")), QDialog::Accepted);
    EXPECT_EQ(dialog.newName(), QStringLiteral("top.html"));
}

TEST(CSvRename, UnchangedNameClosesAsCancelButACaseChangeIsARename) {
    CSvRename same(QStringLiteral("index.html"));
    EXPECT_EQ(renameTo(same, QStringLiteral("index.html")), QDialog::Rejected);
    EXPECT_FALSE(same.isVisible());

    CSvRename upper(QStringLiteral("index.html"));
    EXPECT_EQ(renameTo(upper, QStringLiteral("Index.html")), QDialog::Accepted);
}
