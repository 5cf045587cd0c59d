#pragma once

#include "options/StorableText.h"

#include <QStringList>
#include <QWidget>

#include <array>

struct AppSettings;
class ColourField;
class QCheckBox;
class QLineEdit;
class QSpinBox;

// Options page "ｴﾃﾞｨﾀ": directories, the special-string file, the editor's colours and font,
// the tab stop and six switches. Its values meet the controls only when the dialog exchanges
// them; the colour and font dialogs change their values at once.
class CEditOpt : public QWidget {
    Q_OBJECT
public:
    // The page's values, named by the settings they edit.
    struct Values {
        QString PcDir;
        QString TranDir;
        QString StringFile;
        int BackColor = 0;
        int ForeColor = 0;
        int Keyword1 = 0;
        int Keyword2 = 0;
        QString FontName;
        QString FontSize;
        int Bold = 0;
        int Italic = 0;
        int TabCount = 8;
        int SvFileDel = 0;
        int Save = 0;
        int WordWrap = 0;
        int WindBar = 0;
        int AutoUrl = 0;
        int DelEOF = 0;
    };
    enum Colour { Background, Text, KeywordOne, KeywordTwo };

    explicit CEditOpt(QWidget* parent = nullptr);

    static QString tabTitle() { return QStringLiteral("ｴﾃﾞｨﾀ"); }

    void load(const AppSettings& settings);
    void takeControls();
    void showValues();
    void store(AppSettings& settings) const;

    const Values& values() const { return m_values; }
    // The page's texts as last taken from the controls or chosen in a dialog.
    QList<PageText> texts() const;
    // The dialog's rule for an empty local directory, applied to the page's value.
    void fillEmptyLocalDirectory();

    void chooseDirectory(QString Values::*value);
    void chooseStringFile();
    void chooseColour(Colour which);
    void chooseFont();

private:
    QWidget* buildFiles();
    QWidget* buildLook();
    QWidget* buildSwitches();
    int& colourValue(Colour which);

    Values m_values;
    QStringList m_fileFilters;
    QLineEdit* m_pcDir = nullptr;
    QLineEdit* m_tranDir = nullptr;
    QLineEdit* m_stringFile = nullptr;
    std::array<ColourField*, 4> m_colour{};
    QLineEdit* m_fontName = nullptr;
    QLineEdit* m_fontSize = nullptr;
    QSpinBox* m_tabCount = nullptr;
    QCheckBox* m_svFileDel = nullptr;
    QCheckBox* m_save = nullptr;
    QCheckBox* m_wordWrap = nullptr;
    QCheckBox* m_windBar = nullptr;
    QCheckBox* m_autoUrl = nullptr;
    QCheckBox* m_delEof = nullptr;
};
