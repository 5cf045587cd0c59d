#include "options/CPcFilter.h"
#include "options/CSvFilter.h"
#include "options/FilterRules.h"
#include "settings/AppSettings.h"

#include "ScriptedPrompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

const QString BothNeeded = QStringLiteral("タイトルとファイル形式の両方を入力して下さい。");

QString periodMessage(const char* number) {
    return QStringLiteral("拡張子%1は、ピリオド（．）で始まる文字列を入力して下さい。")
        .arg(QString::fromUtf8(number));
}

template <typename T> T* child(QWidget& page, const QString& name) {
    T* widget = page.findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name.toStdString();
    return widget;
}

void retype(QLineEdit* edit, const QString& text) {
    edit->clear();
    QTest::keyClicks(edit, text);
}

} // namespace

TEST(FilterRules, PcKindsNeedAPatternWhenTheyHaveATitle) {
    std::array<QString, 5> titles, kinds;
    EXPECT_EQ(CheckPcFilter(titles, kinds), QString()) << "all empty is fine";
    kinds[1] = QStringLiteral("*.csv");
    EXPECT_EQ(CheckPcFilter(titles, kinds), QString()) << "a pattern without a title passes";
    titles[4] = QStringLiteral("Text");
    EXPECT_EQ(CheckPcFilter(titles, kinds), BothNeeded);
}

TEST(FilterRules, ServerExtensionsMustBeginWithAPeriodInEveryRow) {
    std::array<QString, 15> ext;
    EXPECT_EQ(CheckServerFilter(ext), QString()) << "empty rows are accepted";
    ext[0] = QStringLiteral(".txt");
    ext[2] = QStringLiteral("txt");
    ext[11] = QStringLiteral("pdf");
    EXPECT_EQ(CheckServerFilter(ext), periodMessage("３")) << "the first bad row is named";
    ext[2] = QStringLiteral(".txt");
    EXPECT_EQ(CheckServerFilter(ext), periodMessage("１２"));
    ext[11] = QStringLiteral("．pdf");
    EXPECT_EQ(CheckServerFilter(ext), periodMessage("１２")) << "a full-width period is no period";
    ext[11].clear();
    ext[14] = QStringLiteral("x.");
    EXPECT_EQ(CheckServerFilter(ext), periodMessage("１５"));
}

TEST(CPcFilter, LoadsValidatesAndStoresTheFiveKinds) {
    AppSettings settings;
    CPcFilter page;
    page.load(settings);
    EXPECT_EQ(child<QLineEdit>(page, QStringLiteral("Title3"))->text(), QStringLiteral("HTMLﾌｧｲﾙ"));
    EXPECT_EQ(child<QLineEdit>(page, QStringLiteral("Kind4"))->text(),
              QStringLiteral("*.cgi;*.pl;*.js"));

    child<QLineEdit>(page, QStringLiteral("Kind2"))->clear();
    {
        ScriptedPrompt prompt;
        EXPECT_FALSE(page.validate());
        ASSERT_EQ(prompt.texts(), QStringList{BothNeeded});
        EXPECT_EQ(prompt.shown()[0].icon, PromptIcon::Error);
    }
    retype(child<QLineEdit>(page, QStringLiteral("Kind2")), QStringLiteral("*.tsv"));
    child<QLineEdit>(page, QStringLiteral("Title5"))->clear();
    ScriptedPrompt prompt;
    EXPECT_TRUE(page.validate());
    EXPECT_TRUE(prompt.texts().isEmpty());

    AppSettings stored;
    page.store(stored);
    EXPECT_EQ(stored.Kind[1], QStringLiteral("*.tsv"));
    EXPECT_EQ(stored.Title[4], QString());
    EXPECT_EQ(stored.Kind[4], QStringLiteral("*.*"));
    EXPECT_EQ(stored.Title[0], settings.Title[0]);
}

TEST(CSvFilter, LoadsValidatesAndStoresExtensionsIconsAndTheSwitch) {
    AppSettings settings;
    settings.ExtFlt = 1;
    CSvFilter page;
    page.load(settings);
    EXPECT_TRUE(child<QCheckBox>(page, QStringLiteral("ExtFlt"))->isChecked());
    EXPECT_EQ(child<QLineEdit>(page, QStringLiteral("Ext11"))->text(), QStringLiteral(".zip"));
    auto* icon13 = child<QComboBox>(page, QStringLiteral("Icon13"));
    EXPECT_EQ(icon13->currentText(), QStringLiteral("4"));
    EXPECT_EQ(icon13->count(), 4);
    EXPECT_EQ(child<QToolButton>(page, QStringLiteral("Sample2"))->text(), QStringLiteral("NO.2"));

    retype(child<QLineEdit>(page, QStringLiteral("Ext13")), QStringLiteral("docx"));
    {
        ScriptedPrompt prompt;
        EXPECT_FALSE(page.validate());
        EXPECT_EQ(prompt.texts(), QStringList{periodMessage("１３")});
    }
    retype(child<QLineEdit>(page, QStringLiteral("Ext13")), QStringLiteral(".docx"));
    child<QComboBox>(page, QStringLiteral("Icon6"))->setCurrentIndex(1);
    QTest::mouseClick(child<QCheckBox>(page, QStringLiteral("ExtFlt")), Qt::LeftButton);
    ScriptedPrompt prompt;
    EXPECT_TRUE(page.validate());

    AppSettings stored;
    page.store(stored);
    EXPECT_EQ(stored.ExtFlt, 0);
    EXPECT_EQ(stored.Ext[12], QStringLiteral(".docx"));
    EXPECT_EQ(stored.Icon[5], 1);
    EXPECT_EQ(stored.Icon[12], 3);
    EXPECT_EQ(stored.Ext[0], QStringLiteral(".tif"));
}
