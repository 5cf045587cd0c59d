#pragma once

#include "sheet/DelimitedText.h"

#include <QColor>
#include <QDialog>
#include <QFont>

class QAbstractButton;
class QCheckBox;
class QFontDialog;
class QLineEdit;
class QPushButton;

// "スプレット入力設定" / "スプレット保存設定": the delimiter, what the first line is, auto size
// (input only) and whether double quotes are read and written. The caller fills it with the
// current options and takes them back after OK.
class CDelimMsgDlg : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Input, Save };

    CDelimMsgDlg(Mode mode, const DelimitedTextOptions& options, QWidget* parent = nullptr);

    // The options given, with the dialog's choices after OK.
    const DelimitedTextOptions& options() const { return m_options; }

    void accept() override;

private:
    DelimitedTextOptions m_options;
    QAbstractButton* m_delimiters[3] = {};
    QAbstractButton* m_headings = nullptr;
    QCheckBox* m_autoSize = nullptr;
    QCheckBox* m_quoted = nullptr;
};

// "列移動": the column to move (shown) and where to; the target must be 1 to 99999, else the
// range message is shown and the dialog stays.
class CMoveColMsg : public QDialog {
    Q_OBJECT
public:
    CMoveColMsg(int sourceColumn, QWidget* parent = nullptr);

    int target() const { return m_target; }

    void accept() override;

private:
    void step(int by);

    int m_target;
    QLineEdit* m_targetEdit = nullptr;
};

// "フォント": the platform's font choice with its effects, and the text colour of the grid's
// normal cells beside it.
class CGridFontDlg : public QDialog {
    Q_OBJECT
public:
    CGridFontDlg(const QFont& font, const QColor& colour, QWidget* parent = nullptr);

    QFont selectedFont() const;
    QColor colour() const { return m_colour; }
    // "色(&C)...": the colour dialog, starting from the current colour.
    void chooseColour();

private:
    void showColour();

    QFontDialog* m_fonts;
    QPushButton* m_colourButton;
    QColor m_colour;
};
