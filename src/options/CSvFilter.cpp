#include "options/CSvFilter.h"

#include "options/FilterRules.h"
#include "platform/Prompt.h"
#include "settings/AppSettings.h"
#include "widgets/ServerListIcons.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

CSvFilter::CSvFilter(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    m_filterFirst = new QCheckBox(QStringLiteral("フィルタリングを初期値とする。"), this);
    m_filterFirst->setObjectName(QStringLiteral("ExtFlt"));
    layout->addWidget(m_filterFirst);
    layout->addWidget(buildRows());
    layout->addWidget(buildSamples());
    layout->addStretch();
}

QWidget* CSvFilter::buildRows() {
    auto* group = new QGroupBox(QStringLiteral("フィルタリングする拡張子／アイコン"), this);
    auto* grid = new QGridLayout(group);
    // Two columns of rows keep the page as short as the other tabs.
    constexpr int PerColumn = 8;
    for (int i = 0; i < Rows; ++i) {
        const int row = i % PerColumn;
        const int column = (i / PerColumn) * 3;
        m_ext[i] = new QLineEdit(group);
        m_ext[i]->setObjectName(QStringLiteral("Ext%1").arg(i + 1));
        m_icon[i] = new QComboBox(group);
        m_icon[i]->setObjectName(QStringLiteral("Icon%1").arg(i + 1));
        for (int n = 1; n <= Icons; ++n)
            m_icon[i]->addItem(ServerListIcons::image(ServerListIcons::FirstFilterIcon + n - 1),
                               QString::number(n));
        grid->addWidget(new QLabel(QStringLiteral("No.%1").arg(i + 1), group), row, column);
        grid->addWidget(m_ext[i], row, column + 1);
        grid->addWidget(m_icon[i], row, column + 2);
    }
    return group;
}

QWidget* CSvFilter::buildSamples() {
    auto* group = new QGroupBox(QStringLiteral("アイコンサンプル"), this);
    auto* row = new QHBoxLayout(group);
    for (int n = 1; n <= Icons; ++n) {
        auto* sample = new QToolButton(group);
        sample->setObjectName(QStringLiteral("Sample%1").arg(n));
        sample->setText(QStringLiteral("NO.%1").arg(n));
        sample->setIcon(ServerListIcons::image(ServerListIcons::FirstFilterIcon + n - 1));
        sample->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        row->addWidget(sample);
    }
    row->addStretch();
    return group;
}

void CSvFilter::load(const AppSettings& settings) {
    m_filterFirst->setChecked(settings.ExtFlt != 0);
    for (int i = 0; i < Rows; ++i) {
        m_ext[i]->setText(settings.Ext[i]);
        // A number outside 0..3 from a hand-edited file shows as the first icon.
        const int icon = settings.Icon[i];
        m_icon[i]->setCurrentIndex(icon >= 0 && icon < Icons ? icon : 0);
    }
}

bool CSvFilter::validate() {
    QString message = CheckServerFilter(extensions());
    if (message.isEmpty())
        return true;
    Prompt::error(message);
    return false;
}

void CSvFilter::store(AppSettings& settings) const {
    settings.ExtFlt = m_filterFirst->isChecked() ? 1 : 0;
    settings.Ext = extensions();
    for (int i = 0; i < Rows; ++i)
        settings.Icon[i] = m_icon[i]->currentIndex();
}

QList<PageText> CSvFilter::texts() const {
    QList<PageText> texts;
    for (int i = 0; i < Rows; ++i)
        texts.append(
            {QStringLiteral("拡張子%1").arg(FullWidthNumber(i + 1)), m_ext[i]->text(), m_ext[i]});
    return texts;
}

std::array<QString, CSvFilter::Rows> CSvFilter::extensions() const {
    std::array<QString, Rows> values;
    for (int i = 0; i < Rows; ++i)
        values[i] = m_ext[i]->text();
    return values;
}
