#include "sheet/SheetDialogs.h"

#include "platform/Prompt.h"
#include "sheet/SheetRules.h"
#include "widgets/DialogButtons.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr char DelimiterBytes[3] = {',', '\t', ' '};

QRadioButton* radio(QWidget* parent, QLayout* layout, const QString& text, const char* name,
                    int id) {
    auto* button = new QRadioButton(text, parent);
    setControlId(button, name, id);
    layout->addWidget(button);
    return button;
}

} // namespace

CDelimMsgDlg::CDelimMsgDlg(Mode mode, const DelimitedTextOptions& options, QWidget* parent)
    : QDialog(parent), m_options(options) {
    setWindowTitle(mode == Mode::Input ? QStringLiteral("スプレット入力設定")
                                       : QStringLiteral("スプレット保存設定"));
    auto* layout = new QVBoxLayout(this);
    auto* groups = new QHBoxLayout;
    auto* delimiters = new QGroupBox(QStringLiteral("区切文字"), this);
    auto* delimiterLayout = new QVBoxLayout(delimiters);
    m_delimiters[0] = radio(delimiters, delimiterLayout, QStringLiteral("ＣＳＶ形式"), "Csv", 1107);
    m_delimiters[1] = radio(delimiters, delimiterLayout, QStringLiteral("ＴＡＢ区切"), "Tab", 1111);
    m_delimiters[2] =
        radio(delimiters, delimiterLayout, QStringLiteral("ｽﾍﾟｰｽ区切"), "Space", 1114);
    int index = 0;
    for (int i = 0; i < 3; ++i)
        if (DelimiterBytes[i] == options.delimiter)
            index = i;
    m_delimiters[index]->setChecked(true);

    auto* firstRow = new QGroupBox(QStringLiteral("１行目の扱い"), this);
    auto* firstRowLayout = new QVBoxLayout(firstRow);
    QAbstractButton* data = radio(firstRow, firstRowLayout, QStringLiteral("データ"), "Data", 1117);
    m_headings =
        radio(firstRow, firstRowLayout, QStringLiteral("１行目を列見出しとする"), "Headings", 1122);
    (options.firstRowHeadings ? m_headings : data)->setChecked(true);
    groups->addWidget(delimiters);
    groups->addWidget(firstRow);
    layout->addLayout(groups);

    m_autoSize = new QCheckBox(QStringLiteral("自動サイズ調整"), this);
    setControlId(m_autoSize, "AutoSize", 1221);
    m_autoSize->setChecked(options.autoSize);
    m_autoSize->setVisible(mode == Mode::Input);
    layout->addWidget(m_autoSize);
    m_quoted = new QCheckBox(QStringLiteral("引用符(\")を解釈する"), this);
    m_quoted->setObjectName(QStringLiteral("Quoted"));
    m_quoted->setChecked(options.quoted);
    layout->addWidget(m_quoted);
    layout->addWidget(addOkCancelButtons(this));
}

void CDelimMsgDlg::accept() {
    for (int i = 0; i < 3; ++i)
        if (m_delimiters[i]->isChecked())
            m_options.delimiter = DelimiterBytes[i];
    m_options.firstRowHeadings = m_headings->isChecked();
    if (m_autoSize->isVisibleTo(this))
        m_options.autoSize = m_autoSize->isChecked();
    m_options.quoted = m_quoted->isChecked();
    QDialog::accept();
}

CMoveColMsg::CMoveColMsg(int sourceColumn, QWidget* parent)
    : QDialog(parent), m_target(sourceColumn) {
    setWindowTitle(QStringLiteral("列移動"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* source = new QLineEdit(QString::number(sourceColumn), this);
    setControlId(source, "Source", 1120);
    source->setReadOnly(true);
    source->setFocusPolicy(Qt::ClickFocus); // Tab passes over it, as over a label
    m_targetEdit = new QLineEdit(QString::number(sourceColumn), this);
    setControlId(m_targetEdit, "Target", 1123);
    // A number field: digits only; the range is checked on OK.
    m_targetEdit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]*")), m_targetEdit));
    auto* spin = new QVBoxLayout;
    spin->setSpacing(0);
    auto* up = new QToolButton(this);
    up->setObjectName(QStringLiteral("SpinUp"));
    up->setArrowType(Qt::UpArrow);
    auto* down = new QToolButton(this);
    down->setObjectName(QStringLiteral("SpinDown"));
    down->setArrowType(Qt::DownArrow);
    spin->addWidget(up);
    spin->addWidget(down);
    connect(up, &QToolButton::clicked, this, [this] { step(1); });
    connect(down, &QToolButton::clicked, this, [this] { step(-1); });
    row->addWidget(new QLabel(QStringLiteral("列"), this));
    row->addWidget(source);
    row->addWidget(new QLabel(QStringLiteral("→"), this));
    row->addWidget(new QLabel(QStringLiteral("列"), this));
    row->addWidget(m_targetEdit);
    row->addLayout(spin);
    layout->addLayout(row);
    layout->addWidget(addOkCancelButtons(this));
    m_targetEdit->setFocus();
    m_targetEdit->selectAll();
}

void CMoveColMsg::step(int by) {
    const std::optional<int> now = SheetRules::moveTarget(m_targetEdit->text());
    m_targetEdit->setText(QString::number(SheetRules::clampMoveTarget(now.value_or(1) + by)));
}

void CMoveColMsg::accept() {
    const std::optional<int> target = SheetRules::moveTarget(m_targetEdit->text());
    if (!target) {
        Prompt::warning(SheetRules::moveTargetRangeMessage());
        m_targetEdit->setFocus();
        m_targetEdit->selectAll();
        return;
    }
    m_target = *target;
    QDialog::accept();
}

CGridFontDlg::CGridFontDlg(const QFont& font, const QColor& colour, QWidget* parent)
    : QDialog(parent), m_colour(colour) {
    setWindowTitle(QStringLiteral("フォント"));
    auto* layout = new QVBoxLayout(this);
    // The font dialog as a part of this one: its own buttons give way to ours.
    m_fonts = new QFontDialog(font, this);
    m_fonts->setObjectName(QStringLiteral("Fonts"));
    m_fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    m_fonts->setWindowFlags(Qt::Widget);
    layout->addWidget(m_fonts);
    // Esc (or Enter) inside the font part ends it as a dialog: it ends this one.
    connect(m_fonts, &QDialog::accepted, this, &QDialog::accept);
    connect(m_fonts, &QDialog::rejected, this, &QDialog::reject);
    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(new QLabel(QStringLiteral("色"), this));
    m_colourButton = new QPushButton(QStringLiteral("色(&C)..."), this);
    m_colourButton->setObjectName(QStringLiteral("Colour"));
    connect(m_colourButton, &QPushButton::clicked, this, &CGridFontDlg::chooseColour);
    colourRow->addWidget(m_colourButton);
    colourRow->addStretch();
    layout->addLayout(colourRow);
    layout->addWidget(addOkCancelButtons(this));
    showColour();
}

QFont CGridFontDlg::selectedFont() const {
    return m_fonts->currentFont();
}

void CGridFontDlg::chooseColour() {
    QColorDialog dialog(m_colour, this);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_colour = dialog.currentColor();
    showColour();
}

void CGridFontDlg::showColour() {
    QPixmap swatch(16, 16);
    swatch.fill(m_colour);
    m_colourButton->setIcon(QIcon(swatch));
}
