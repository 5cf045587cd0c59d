#include "sheet/SheetDialogs.h"
#include "sheet/SheetRules.h"

#include "ScriptedPrompt.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

template <typename T> T* child(QWidget& w, const char* name) {
    T* found = w.findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

} // namespace

TEST(CDelimMsgDlg, ShowsTheOptionsAndGivesTheChoicesBack) {
    struct Case {
        char delimiter;
        const char* radio;
    };
    for (const Case& c : {Case{',', "Csv"}, Case{'\t', "Tab"}, Case{' ', "Space"}}) {
        DelimitedTextOptions in;
        in.delimiter = c.delimiter;
        in.firstRowHeadings = true;
        CDelimMsgDlg input(CDelimMsgDlg::Mode::Input, in);
        EXPECT_TRUE(child<QRadioButton>(input, c.radio)->isChecked()) << c.radio;
        EXPECT_TRUE(child<QRadioButton>(input, "Headings")->isChecked());
        input.accept();
        EXPECT_EQ(input.options().delimiter, c.delimiter);
    }

    DelimitedTextOptions in;
    in.path = QStringLiteral("/x.csv");
    CDelimMsgDlg input(CDelimMsgDlg::Mode::Input, in);
    input.show();
    EXPECT_EQ(input.windowTitle(), QStringLiteral("スプレット入力設定"));
    EXPECT_TRUE(child<QCheckBox>(input, "AutoSize")->isVisible());
    EXPECT_FALSE(child<QCheckBox>(input, "Quoted")->isChecked());
    child<QRadioButton>(input, "Tab")->setChecked(true);
    child<QRadioButton>(input, "Headings")->setChecked(true);
    child<QCheckBox>(input, "AutoSize")->setChecked(true);
    child<QCheckBox>(input, "Quoted")->setChecked(true);
    input.accept();
    EXPECT_EQ(input.options().delimiter, '\t');
    EXPECT_TRUE(input.options().firstRowHeadings);
    EXPECT_TRUE(input.options().autoSize);
    EXPECT_TRUE(input.options().quoted);
    EXPECT_EQ(input.options().path, QStringLiteral("/x.csv"));

    // Saving hides auto size and keeps what it was.
    in.autoSize = true;
    CDelimMsgDlg save(CDelimMsgDlg::Mode::Save, in);
    save.show();
    EXPECT_EQ(save.windowTitle(), QStringLiteral("スプレット保存設定"));
    EXPECT_FALSE(child<QCheckBox>(save, "AutoSize")->isVisible());
    save.accept();
    EXPECT_TRUE(save.options().autoSize);
}

TEST(CMoveColMsg, TargetOutsideTheRangeKeepsTheDialogOpen) {
    ScriptedPrompt prompt;
    for (const char* bad : {"0", "100000", "abc", ""}) {
        CMoveColMsg dialog(3);
        dialog.show();
        child<QLineEdit>(dialog, "Target")->setText(QLatin1String(bad));
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible()) << bad;
        EXPECT_EQ(prompt.texts(), QStringList{SheetRules::moveTargetRangeMessage()}) << bad;
        EXPECT_EQ(prompt.texts().value(0),
                  QStringLiteral("1 から 99999 までの整数を入力してください。"));
        prompt.clear();
    }
    CMoveColMsg dialog(3);
    EXPECT_EQ(child<QLineEdit>(dialog, "Source")->text(), QStringLiteral("3"));
    child<QToolButton>(dialog, "SpinUp")->click();
    child<QToolButton>(dialog, "SpinUp")->click();
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.target(), 5);
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST(CMoveColMsg, OpensOnTheTargetWhichTakesDigitsOnly) {
    CMoveColMsg dialog(3);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    auto* target = child<QLineEdit>(dialog, "Target");
    ASSERT_EQ(QApplication::focusWidget(), target);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1x-2"));
    EXPECT_EQ(target->text(), QStringLiteral("12"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_NE(QApplication::focusWidget(), child<QLineEdit>(dialog, "Source"));
}
