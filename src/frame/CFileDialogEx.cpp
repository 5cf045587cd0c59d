#include "frame/CFileDialogEx.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

CFileDialogEx::CFileDialogEx(QWidget* parent, const QString& title, const QString& directory,
                             const QStringList& filters)
    : QFileDialog(parent, title, directory) {
    // Qt's own dialog, so that rows can be added under the file-type row.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    setNameFilters(filters);
    setSizeGripEnabled(true);

    auto* grid = qobject_cast<QGridLayout*>(layout());
    const int row = grid ? grid->rowCount() : 0;
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("9001"));
    m_label->setProperty("controlId", int(ChoiceLabel));
    m_list = new QComboBox(this);
    m_list->setObjectName(QStringLiteral("9000"));
    m_list->setProperty("controlId", int(ChoiceList));
    m_list->setMaxVisibleItems(8);
    m_label->setBuddy(m_list);
    m_readOnly = new QCheckBox(QStringLiteral("読み取り専用(&R)"), this);
    m_readOnly->hide();
    if (grid) {
        grid->addWidget(m_label, row, 0);
        grid->addWidget(m_list, row, 1);
        grid->addWidget(m_readOnly, row + 1, 1);
    }
    m_label->hide();
    m_list->hide();
}

void CFileDialogEx::setChoices(const QString& label, const QStringList& items, int index) {
    m_label->setText(label);
    m_list->clear();
    m_list->addItems(items);
    m_list->setCurrentIndex(index >= 0 && index < items.size() ? index : -1);
    m_label->setVisible(!label.isEmpty() || !items.isEmpty());
    m_list->setVisible(!items.isEmpty());
    if (!items.isEmpty())
        m_list->setFocus();
}

void CFileDialogEx::setReadOnlyBoxShown(bool shown) {
    m_readOnlyShown = shown;
    m_readOnly->setVisible(shown);
}

bool CFileDialogEx::readOnlyChecked() const {
    return m_readOnlyShown && m_readOnly->isChecked();
}

void CFileDialogEx::done(int result) {
    m_choiceIndex = m_list->currentIndex();
    QFileDialog::done(result);
}
