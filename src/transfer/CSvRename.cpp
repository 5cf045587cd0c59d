#include "transfer/CSvRename.h"

#include "widgets/DialogButtons.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

CSvRename::CSvRename(const QString& oldName, QWidget* parent)
    : QDialog(parent), m_oldName(oldName), m_newName(oldName) {
    setWindowTitle(QStringLiteral("ファイル名変更"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto* oldEdit = new QLineEdit(oldName, this);
    oldEdit->setObjectName(QStringLiteral("OldName"));
    oldEdit->setReadOnly(true);
    m_newEdit = new QLineEdit(oldName, this);
    m_newEdit->setObjectName(QStringLiteral("NewName"));
    m_newEdit->setMinimumWidth(260);
    form->addRow(QStringLiteral("変更元ファイル名"), oldEdit);
    form->addRow(QStringLiteral("変更先ファイル名"), m_newEdit);
    layout->addLayout(form);
    layout->addWidget(addOkCancelButtons(this));
    m_newEdit->setFocus();
    m_newEdit->selectAll();
}

void CSvRename::accept() {
    m_newName = m_newEdit->text();
    if (m_newName == m_oldName) {
        QDialog::reject(); // nothing to rename: closing as Cancel spares the server a command
        return;
    }
    QDialog::accept();
}
