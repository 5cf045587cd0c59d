#include "widgets/DialogButtons.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QToolButton>

QDialogButtonBox* addOkCancelButtons(QDialog* dialog, QPushButton** ok) {
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QPushButton* okButton = box->button(QDialogButtonBox::Ok);
    okButton->setText(QStringLiteral("OK"));
    box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    if (ok)
        *ok = okButton;
    return box;
}

void setControlId(QWidget* widget, const char* name, int id) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setProperty("controlId", id);
}

QToolButton* makeToolButton(QWidget* parent, const char* name, int id, QStyle::StandardPixmap icon,
                            const QString& text) {
    auto* button = new QToolButton(parent);
    setControlId(button, name, id);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setText(text);
    button->setToolTip(text);
    return button;
}

void addToolTipTexts(QHash<int, QString>& table,
                     std::initializer_list<std::pair<int, const char16_t*>> texts) {
    for (const auto& [id, text] : texts) {
        if (!table.contains(id))
            table.insert(id, QString::fromUtf16(text));
    }
}
