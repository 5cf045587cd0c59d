#include "options/CEditOpt.h"

#include "options/ColourField.h"
#include "options/EditorPageRules.h"
#include "platform/FileDialogs.h"
#include "settings/AppSettings.h"
#include "widgets/EditorAppearance.h"
#include "widgets/FixedPitchFontDialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const QString PcDirLabel = QStringLiteral("ローカルDir");
const QString TranDirLabel = QStringLiteral("転送Dir");
const QString StringFileLabel = QStringLiteral("特定文字列ﾌｧｲﾙ");

QLineEdit* namedEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

QPushButton* namedButton(QWidget* parent, const QString& text, const char* name) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

CEditOpt::CEditOpt(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildFiles());
    layout->addWidget(buildLook());
    layout->addWidget(buildSwitches());
    layout->addStretch();
}

QWidget* CEditOpt::buildFiles() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    m_pcDir = namedEdit(box, "PcDir");
    m_tranDir = namedEdit(box, "TranDir");
    m_stringFile = namedEdit(box, "StringFile");
    struct Row {
        const QString& label;
        QLineEdit* edit;
        const char* button;
    };
    const Row rows[] = {{PcDirLabel, m_pcDir, "PcDirBrowse"},
                        {TranDirLabel, m_tranDir, "TranDirBrowse"},
                        {StringFileLabel, m_stringFile, "StringFileBrowse"}};
    int line = 0;
    for (const Row& row : rows) {
        grid->addWidget(new QLabel(row.label, box), line, 0);
        grid->addWidget(row.edit, line, 1);
        QPushButton* browse = namedButton(box, QStringLiteral("参照"), row.button);
        grid->addWidget(browse, line, 2);
        ++line;
    }
    connect(findChild<QPushButton*>(QStringLiteral("PcDirBrowse")), &QPushButton::clicked, this,
            [this] { chooseDirectory(&Values::PcDir); });
    connect(findChild<QPushButton*>(QStringLiteral("TranDirBrowse")), &QPushButton::clicked, this,
            [this] { chooseDirectory(&Values::TranDir); });
    connect(findChild<QPushButton*>(QStringLiteral("StringFileBrowse")), &QPushButton::clicked,
            this, [this] { chooseStringFile(); });
    return box;
}

QWidget* CEditOpt::buildLook() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    const char* colourLabels[] = {"画面の背景色", "画面の文字色", "ｷｰﾜｰﾄﾞ1文字色", "ｷｰﾜｰﾄﾞ2文字色"};
    const char* colourNames[] = {"BackColor", "ForeColor", "Keyword1", "Keyword2"};
    for (int i = 0; i < 4; ++i) {
        int row = i / 2, column = (i % 2) * 3;
        grid->addWidget(new QLabel(QString::fromUtf8(colourLabels[i]), box), row, column);
        m_colour[i] = new ColourField(box);
        m_colour[i]->setObjectName(QLatin1String(colourNames[i]));
        grid->addWidget(m_colour[i], row, column + 1);
        QPushButton* choose = namedButton(box, QStringLiteral("選択"),
                                          QByteArray(colourNames[i]).append("Choose").constData());
        grid->addWidget(choose, row, column + 2);
        connect(choose, &QPushButton::clicked, this, [this, i] { chooseColour(Colour(i)); });
    }

    auto* font = new QGroupBox(QStringLiteral("フォント"), box);
    auto* fontRow = new QHBoxLayout(font);
    m_fontName = namedEdit(font, "FontName");
    m_fontName->setReadOnly(true);
    m_fontSize = namedEdit(font, "FontSize");
    m_fontSize->setReadOnly(true);
    m_fontSize->setMaximumWidth(60);
    fontRow->addWidget(new QLabel(QStringLiteral("名称"), font));
    fontRow->addWidget(m_fontName, 1);
    fontRow->addWidget(new QLabel(QStringLiteral("ｻｲｽﾞ"), font));
    fontRow->addWidget(m_fontSize);
    QPushButton* chooseFontButton = namedButton(font, QStringLiteral("選択"), "FontChoose");
    fontRow->addWidget(chooseFontButton);
    connect(chooseFontButton, &QPushButton::clicked, this, [this] { chooseFont(); });
    grid->addWidget(font, 2, 0, 1, 6);

    auto* tabRow = new QHBoxLayout;
    m_tabCount = new QSpinBox(box);
    m_tabCount->setObjectName(QStringLiteral("TabCount"));
    m_tabCount->setRange(EditorPageRules::MinTabCount, EditorPageRules::MaxTabCount);
    tabRow->addWidget(new QLabel(QStringLiteral("タブストップ"), box));
    tabRow->addWidget(m_tabCount);
    tabRow->addStretch();
    grid->addLayout(tabRow, 3, 0, 1, 6);
    return box;
}

QWidget* CEditOpt::buildSwitches() {
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    auto add = [&](const char* text, const char* name) {
        auto* check = new QCheckBox(QString::fromUtf8(text), box);
        check->setObjectName(QLatin1String(name));
        column->addWidget(check);
        return check;
    };
    m_svFileDel = add("終了時、転送ﾌｧｲﾙを削除する。", "SvFileDel");
    m_save = add("ウインドウの位置とサイズを復元する。", "Save");
    m_wordWrap = add("ウィンドウの幅をもとに、ワード ラップをする。", "WordWrap");
    m_windBar = add("ウィンドウ切替バーを表示する（次回起動時より有効）", "WindBar");
    m_autoUrl = add("URL表示機能を使用する（次回起動時より有効）", "AutoUrl");
    m_delEof = add("EOFｺｰﾄﾞを削除する。", "DelEOF");
    return box;
}

void CEditOpt::load(const AppSettings& s) {
    m_values = Values{s.PcDir,     s.TranDir,  s.StringFile, s.BackColor, s.ForeColor, s.Keyword1,
                      s.Keyword2,  s.FontName, s.FontSize,   s.Bold,      s.Italic,    s.TabCount,
                      s.SvFileDel, s.Save,     s.WordWrap,   s.WindBar,   s.AutoUrl,   s.DelEOF};
    // The special-string file is picked with the file kinds as they were saved.
    m_fileFilters = s.BuildPcFileFilter();
    showValues();
}

void CEditOpt::showValues() {
    m_pcDir->setText(m_values.PcDir);
    m_tranDir->setText(m_values.TranDir);
    m_stringFile->setText(m_values.StringFile);
    for (int i = 0; i < 4; ++i)
        m_colour[i]->setColour(colourValue(Colour(i)));
    m_fontName->setText(m_values.FontName);
    m_fontSize->setText(m_values.FontSize);
    m_tabCount->setValue(m_values.TabCount);
    m_svFileDel->setChecked(m_values.SvFileDel != 0);
    m_save->setChecked(m_values.Save != 0);
    m_wordWrap->setChecked(m_values.WordWrap != 0);
    m_windBar->setChecked(m_values.WindBar != 0);
    m_autoUrl->setChecked(m_values.AutoUrl != 0);
    m_delEof->setChecked(m_values.DelEOF != 0);
}

void CEditOpt::takeControls() {
    m_values.PcDir = m_pcDir->text();
    m_values.TranDir = m_tranDir->text();
    m_values.StringFile = m_stringFile->text();
    m_values.TabCount = m_tabCount->value();
    m_values.SvFileDel = m_svFileDel->isChecked() ? 1 : 0;
    m_values.Save = m_save->isChecked() ? 1 : 0;
    m_values.WordWrap = m_wordWrap->isChecked() ? 1 : 0;
    m_values.WindBar = m_windBar->isChecked() ? 1 : 0;
    m_values.AutoUrl = m_autoUrl->isChecked() ? 1 : 0;
    m_values.DelEOF = m_delEof->isChecked() ? 1 : 0;
}

QList<PageText> CEditOpt::texts() const {
    return {{PcDirLabel, m_values.PcDir, m_pcDir},
            {TranDirLabel, m_values.TranDir, m_tranDir},
            {StringFileLabel, m_values.StringFile, m_stringFile},
            {QStringLiteral("フォント"), m_values.FontName, m_fontName}};
}

void CEditOpt::fillEmptyLocalDirectory() {
    m_values.PcDir = EditorPageRules::localDirectory(m_values.PcDir);
}

void CEditOpt::store(AppSettings& s) const {
    const Values& v = m_values;
    s.PcDir = v.PcDir;
    s.TranDir = v.TranDir;
    s.StringFile = v.StringFile;
    s.SvFileDel = v.SvFileDel;
    s.BackColor = v.BackColor;
    s.ForeColor = v.ForeColor;
    s.Keyword1 = v.Keyword1;
    s.Keyword2 = v.Keyword2;
    s.FontName = v.FontName;
    s.FontSize = v.FontSize;
    s.Save = v.Save;
    s.WordWrap = v.WordWrap;
    s.Bold = v.Bold;
    s.Italic = v.Italic;
    s.WindBar = v.WindBar;
    s.TabCount = v.TabCount;
    s.AutoUrl = v.AutoUrl;
    s.DelEOF = v.DelEOF;
}

void CEditOpt::chooseDirectory(QString Values::*value) {
    takeControls();
    QString start = m_values.*value;
    if (start.isEmpty())
        start = QDir::currentPath();
    QString chosen =
        FileDialogs::current().folder(window(), EditorPageRules::folderDialogTitle(start), start);
    if (chosen.isEmpty())
        return;
    m_values.*value = QFileInfo(chosen).absoluteFilePath();
    showValues();
}

void CEditOpt::chooseStringFile() {
    // The dialog may move the process into another directory; the settings file and every
    // relative path depend on it staying where it is.
    const QString remembered = QDir::currentPath();
    FileDialogRequest request;
    request.parent = window();
    request.title = QStringLiteral("特殊文字列ファイル選択");
    request.directory = m_values.PcDir;
    request.filters = m_fileFilters;
    FileDialogResult result = FileDialogs::current().open(request);
    QDir::setCurrent(remembered);
    if (!result.accepted || result.path.isEmpty())
        return;
    m_values.StringFile = QFileInfo(result.path).absoluteFilePath();
    showValues();
}

int& CEditOpt::colourValue(Colour which) {
    switch (which) {
    case Background:
        return m_values.BackColor;
    case Text:
        return m_values.ForeColor;
    case KeywordOne:
        return m_values.Keyword1;
    case KeywordTwo:
        break;
    }
    return m_values.Keyword2;
}

void CEditOpt::chooseColour(Colour which) {
    int& value = colourValue(which);
    QColorDialog dialog(colorFromColorRef(value), window());
    dialog.setOptions(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    value = colorRefFromColor(dialog.selectedColor());
    m_colour[which]->setColour(value);
}

void CEditOpt::chooseFont() {
    FontChoice start;
    start.face = m_values.FontName;
    start.pointSize =
        EditorPageRules::fontDialogPoints(EditorPageRules::fontDialogHeight(m_values.FontSize));
    start.weight = EditorPageRules::weightOf(m_values.Bold);
    start.italic = m_values.Italic != 0;
    FixedPitchFontDialog dialog(start, window());
    if (dialog.exec() != QDialog::Accepted)
        return;
    FontChoice chosen = dialog.choice();
    m_values.Bold = EditorPageRules::boldFlag(chosen.weight);
    m_values.Italic = chosen.italic ? 1 : 0;
    m_values.FontName = chosen.face;
    m_values.FontSize =
        EditorPageRules::fontSizeAfterDialog(m_values.FontSize, start.pointSize, chosen.pointSize);
    m_fontName->setText(m_values.FontName);
    m_fontSize->setText(m_values.FontSize);
}
