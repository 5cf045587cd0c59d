#include "transfer/CSvMakeDir.h"

#include "platform/Prompt.h"
#include "widgets/DialogButtons.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

CSvMakeDir::CSvMakeDir(const QStringList& existingDirectories, QWidget* parent)
    : QDialog(parent), m_existing(existingDirectories) {
    setWindowTitle(QStringLiteral("ディレクトリ作成"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("Name"));
    m_edit->setMinimumWidth(240);
    form->addRow(QStringLiteral("作成ディレクトリ名"), m_edit);
    layout->addLayout(form);
    layout->addWidget(addOkCancelButtons(this));
}

void CSvMakeDir::accept() {
    m_name = m_edit->text();
    if (m_existing.contains(m_name)) {
        Prompt::error(QStringLiteral("同一名称のディレクトリが存在します。"));
        return;
    }
    QDialog::accept();
}
