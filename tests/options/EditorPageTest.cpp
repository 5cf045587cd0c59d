#include "options/CEditOpt.h"
#include "options/COptionDlg.h"
#include "options/ColourField.h"
#include "settings/AppSettings.h"
#include "widgets/FixedPitchFontDialog.h"

#include "OptionsTestSupport.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrompt.h"
#include "TempDir.h"
#include "TrustPlace.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A file dialog that, like a real one, leaves the process in another directory.
class WanderingFileDialogs : public ScriptedFileDialogs {
public:
    FileDialogResult open(const FileDialogRequest& request) override {
        QDir::setCurrent(QDir::rootPath());
        return ScriptedFileDialogs::open(request);
    }
};

class EditorPage : public ::testing::Test {
protected:
    void open() {
        m_dialog = std::make_unique<COptionDlg>(m_settings, 0, m_trust.trust());
        m_page = m_dialog->editorPage();
    }
    QLineEdit* edit(const char* name) { return child<QLineEdit>(m_page, name); }
    void click(const char* button) { child<QPushButton>(m_page, button)->click(); }
    void ok() { child<QPushButton>(m_dialog.get(), "OK")->click(); }

    ScriptedPrompt m_prompt;
    WanderingFileDialogs m_files;
    TempDir m_dir;
    TrustPlace m_trust;
    AppSettings m_settings;
    std::unique_ptr<COptionDlg> m_dialog;
    CEditOpt* m_page = nullptr;
};

// What the font dialog showed when it opened, and the choice to make in it.
struct FontDialogRun {
    QString face;
    double size = 0;
    QString style;
    QStringList families;
};

void chooseInFontDialog(FontDialogRun* seen, const QString& style = QString(), double size = 0,
                        bool accept = true) {
    onNextModal<FixedPitchFontDialog>([=](FixedPitchFontDialog* dialog) {
        auto* families = child<QListWidget>(dialog, "Families");
        auto* styles = child<QListWidget>(dialog, "Styles");
        auto* sizes = child<QDoubleSpinBox>(dialog, "Size");
        seen->face = families->currentItem() ? families->currentItem()->text() : QString();
        seen->size = sizes->value();
        seen->style = styles->currentItem() ? styles->currentItem()->text() : QString();
        for (int i = 0; i < families->count(); ++i)
            seen->families << families->item(i)->text();
        if (!style.isEmpty()) {
            QList<QListWidgetItem*> found = styles->findItems(style, Qt::MatchExactly);
            ASSERT_FALSE(found.isEmpty()) << style.toStdString();
            styles->setCurrentItem(found.front());
        }
        if (size > 0)
            sizes->setValue(size);
        accept ? dialog->accept() : dialog->reject();
    });
}

} // namespace

TEST_F(EditorPage, FolderDialogStartsAtTheFieldOrTheCurrentDirectory) {
    m_settings.TranDir = m_dir.path();
    m_settings.PcDir = QStringLiteral("/gone");
    open();
    const QString sub = m_dir.path() + QStringLiteral("/sub");
    QDir().mkpath(sub);
    m_files.expectFolder(sub);
    click("TranDirBrowse");
    ASSERT_EQ(m_files.requests().size(), 1);
    EXPECT_EQ(m_files.requests()[0].directory, m_dir.path());
    EXPECT_EQ(m_files.requests()[0].title,
              QStringLiteral("フォルダ選択 【現在のﾌｫﾙﾀﾞ=%1】").arg(m_dir.path()));
    EXPECT_EQ(edit("TranDir")->text(), sub);

    retype(edit("PcDir"), QString());
    m_files.expectFolder(QString()); // Cancel
    click("PcDirBrowse");
    ASSERT_EQ(m_files.requests().size(), 2);
    EXPECT_EQ(m_files.requests()[1].directory, QDir::currentPath());
    EXPECT_TRUE(edit("PcDir")->text().isEmpty()) << "Cancel leaves an empty field empty";
    ok();
    EXPECT_EQ(m_dialog->settings().TranDir, sub);
    EXPECT_EQ(m_dialog->settings().PcDir, QStringLiteral("."));
}

TEST_F(EditorPage, StringFileDialogStartsInTheLastExchangedLocalDirectory) {
    m_settings.PcDir = m_dir.path();
    m_settings.Title[1].clear();
    open();
    retype(edit("PcDir"), QStringLiteral("/typed/not/exchanged"));
    const QString file = m_dir.write(QStringLiteral("keys.txt"), "x");
    const QString before = QDir::currentPath();
    m_files.expectOpen(ScriptedFileDialogs::chose(file));
    click("StringFileBrowse");
    ASSERT_EQ(m_files.requests().size(), 1);
    const FileDialogRequest request = m_files.requests()[0];
    EXPECT_EQ(request.title, QStringLiteral("特殊文字列ファイル選択"));
    EXPECT_EQ(request.directory, m_dir.path());
    EXPECT_EQ(request.filters, m_settings.BuildPcFileFilter());
    EXPECT_FALSE(request.showReadOnly);
    EXPECT_EQ(QDir::currentPath(), before) << "the current directory comes back";
    EXPECT_EQ(edit("StringFile")->text(), file);
    EXPECT_EQ(edit("PcDir")->text(), m_dir.path()) << "choosing shows the page's values";

    m_files.expectOpen(ScriptedFileDialogs::cancelled());
    click("StringFileBrowse");
    EXPECT_EQ(edit("StringFile")->text(), file);
    ok();
    EXPECT_EQ(m_dialog->settings().StringFile, file);
}

TEST_F(EditorPage, ColourDialogChangesOnlyItsOwnField) {
    m_settings.Keyword1 = 0xFF0000; // blue
    open();
    retype(edit("PcDir"), QStringLiteral("/typed"));
    QColor started;
    onNextModal<QColorDialog>([&](QColorDialog* dialog) {
        started = dialog->currentColor();
        dialog->setCurrentColor(QColor(0x12, 0x34, 0x56));
        dialog->accept();
    });
    click("Keyword1Choose");
    EXPECT_EQ(started, QColor(Qt::blue));
    EXPECT_EQ(child<ColourField>(m_page, "Keyword1")->colour(), 0x563412);
    EXPECT_EQ(child<ColourField>(m_page, "BackColor")->colour(), 0xFFFFFF);
    EXPECT_EQ(edit("PcDir")->text(), QStringLiteral("/typed")) << "other controls untouched";

    onNextModal<QColorDialog>([](QColorDialog* dialog) {
        dialog->setCurrentColor(Qt::red);
        dialog->reject();
    });
    click("BackColorChoose");
    EXPECT_EQ(child<ColourField>(m_page, "BackColor")->colour(), 0xFFFFFF);
    ok();
    EXPECT_EQ(m_dialog->settings().Keyword1, 0x563412);
    EXPECT_EQ(m_dialog->settings().BackColor, 0xFFFFFF);
}

TEST_F(EditorPage, FontDialogStartsAtTheHeightRuleAndOffersFixedPitchFacesOnly) {
    m_settings.FontName = QStringLiteral("DejaVu Sans Mono");
    m_settings.FontSize = QStringLiteral("9");
    open();
    FontDialogRun seen;
    chooseInFontDialog(&seen, QString(), 0, false);
    click("FontChoose");
    EXPECT_EQ(seen.face, QStringLiteral("DejaVu Sans Mono"));
    EXPECT_DOUBLE_EQ(seen.size, 9.0) << "9 points: height 12";
    EXPECT_EQ(seen.style, QStringLiteral("標準"));
    EXPECT_TRUE(seen.families.contains(QStringLiteral("DejaVu Sans Mono")));
    EXPECT_FALSE(seen.families.contains(QStringLiteral("DejaVu Sans")));
    if (QFontDatabase::hasFamily(QStringLiteral("IPAGothic"))) {
        EXPECT_TRUE(seen.families.contains(QStringLiteral("IPAGothic")));
        EXPECT_FALSE(seen.families.contains(QStringLiteral("IPAPGothic")));
    }
}

TEST_F(EditorPage, ChosenFontSetsFaceStyleAndWholePointSize) {
    m_settings.FontSize = QStringLiteral("11");
    open();
    FontDialogRun seen;
    chooseInFontDialog(&seen, QStringLiteral("太字"));
    click("FontChoose");
    EXPECT_DOUBLE_EQ(seen.size, 10.5) << "11 points: height 14";
    EXPECT_FALSE(seen.face.isEmpty()) << "a face that is not installed starts on one that is";
    if (QFontDatabase::hasFamily(QStringLiteral("IPAGothic"))) {
        EXPECT_EQ(seen.face, QStringLiteral("IPAGothic")) << "the face the editor draws with";
    }
    EXPECT_EQ(edit("FontSize")->text(), QStringLiteral("11")) << "a size left alone stays";
    EXPECT_EQ(edit("FontName")->text(), seen.face);
    EXPECT_EQ(m_page->values().Bold, 1);

    chooseInFontDialog(&seen, QStringLiteral("斜体"), 14.5);
    click("FontChoose");
    EXPECT_EQ(seen.style, QStringLiteral("太字"));
    EXPECT_EQ(edit("FontSize")->text(), QStringLiteral("14"));
    ok();
    EXPECT_EQ(m_dialog->settings().FontSize, QStringLiteral("14"));
    EXPECT_EQ(m_dialog->settings().Bold, 0);
    EXPECT_EQ(m_dialog->settings().Italic, 1);
    EXPECT_EQ(m_dialog->settings().FontName, seen.face);
}

TEST_F(EditorPage, OverlongFaceNameOpensTheFontDialogAndSurvivesCancel) {
    m_settings.FontName = QString(150, QChar(u'\u3042')); // 300 bytes in CP932
    m_settings.FontSize = QStringLiteral("x");
    open();
    EXPECT_EQ(edit("FontName")->text(), m_settings.FontName);
    FontDialogRun seen;
    chooseInFontDialog(&seen, QString(), 0, false);
    click("FontChoose");
    EXPECT_GT(seen.size, 0);
    ok();
    EXPECT_EQ(m_dialog->settings().FontName, m_settings.FontName);
    EXPECT_EQ(m_dialog->settings().FontSize, QStringLiteral("x"));
}

TEST_F(EditorPage, TabStopAndSwitchesAreWrittenBack) {
    m_settings.TabCount = 0; // from an edited file
    open();
    auto* tab = child<QSpinBox>(m_page, "TabCount");
    EXPECT_EQ(tab->value(), 1) << "a tab stop needs at least one column";
    tab->setValue(8);
    tab->setFocus();
    QTest::keyClick(tab, Qt::Key_Up);
    for (const char* name : {"SvFileDel", "Save", "WordWrap", "WindBar", "AutoUrl", "DelEOF"})
        child<QCheckBox>(m_page, name)->click();
    ok();
    const AppSettings& s = m_dialog->settings();
    EXPECT_EQ(s.TabCount, 9);
    EXPECT_EQ(s.SvFileDel, 0);
    EXPECT_EQ(s.Save, 1);
    EXPECT_EQ(s.WordWrap, 1);
    EXPECT_EQ(s.WindBar, 0);
    EXPECT_EQ(s.AutoUrl, 0);
    EXPECT_EQ(s.DelEOF, 0);
}
