#include "options/CPcFilter.h"

#include "options/FilterRules.h"
#include "platform/Prompt.h"
#include "settings/AppSettings.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

CPcFilter::CPcFilter(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < Kinds; ++i) {
        auto* group =
            new QGroupBox(QStringLiteral("ファイルの種類%1").arg(FullWidthNumber(i + 1)), this);
        auto* form = new QFormLayout(group);
        m_title[i] = new QLineEdit(group);
        m_title[i]->setObjectName(QStringLiteral("Title%1").arg(i + 1));
        m_kind[i] = new QLineEdit(group);
        m_kind[i]->setObjectName(QStringLiteral("Kind%1").arg(i + 1));
        form->addRow(QStringLiteral("タイトル"), m_title[i]);
        form->addRow(QStringLiteral("ファイル形式"), m_kind[i]);
        layout->addWidget(group);
    }
    layout->addStretch();
}

void CPcFilter::load(const AppSettings& settings) {
    for (int i = 0; i < Kinds; ++i) {
        m_title[i]->setText(settings.Title[i]);
        m_kind[i]->setText(settings.Kind[i]);
    }
}

bool CPcFilter::validate() {
    QString message = CheckPcFilter(titles(), kinds());
    if (message.isEmpty())
        return true;
    Prompt::error(message);
    return false;
}

void CPcFilter::store(AppSettings& settings) const {
    settings.Title = titles();
    settings.Kind = kinds();
}

QList<PageText> CPcFilter::texts() const {
    QList<PageText> texts;
    for (int i = 0; i < Kinds; ++i) {
        const QString kind = QStringLiteral("ファイルの種類%1").arg(FullWidthNumber(i + 1));
        texts.append({kind + QStringLiteral("のタイトル"), m_title[i]->text(), m_title[i]});
        texts.append({kind + QStringLiteral("のファイル形式"), m_kind[i]->text(), m_kind[i]});
    }
    return texts;
}

std::array<QString, CPcFilter::Kinds> CPcFilter::titles() const {
    std::array<QString, Kinds> values;
    for (int i = 0; i < Kinds; ++i)
        values[i] = m_title[i]->text();
    return values;
}

std::array<QString, CPcFilter::Kinds> CPcFilter::kinds() const {
    std::array<QString, Kinds> values;
    for (int i = 0; i < Kinds; ++i)
        values[i] = m_kind[i]->text();
    return values;
}
