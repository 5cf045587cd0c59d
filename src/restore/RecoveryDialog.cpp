#include "restore/RecoveryDialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

RecoveryDialog::RecoveryDialog(const QList<RecoveryOffer>& offers, QWidget* parent)
    : QDialog(parent), m_list(new QTreeWidget(this)) {
    setWindowTitle(QStringLiteral("復元"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("前回、保存されずに終了した文書があります。復元しますか？"), this));
    m_list->setColumnCount(3);
    m_list->setHeaderLabels(
        {QStringLiteral("文書"), QStringLiteral("日時"), QStringLiteral("備考")});
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const RecoveryOffer& offer : offers) {
        auto* item = new QTreeWidgetItem(m_list, {offer.document, offer.time, offer.note});
        item->setToolTip(0, offer.document);
        item->setToolTip(2, offer.note);
        // A file that cannot be read is listed, greyed, to say so, but cannot be chosen.
        if (!offer.record)
            item->setFlags(Qt::NoItemFlags);
    }
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    m_list->resizeColumnToContents(1);
    m_list->resizeColumnToContents(2);
    layout->addWidget(m_list);

    auto* buttons = new QHBoxLayout;
    auto* all = new QPushButton(QStringLiteral("すべて復元"), this);
    auto* selected = new QPushButton(QStringLiteral("選択したものを復元"), this);
    auto* discard = new QPushButton(QStringLiteral("破棄"), this);
    buttons->addStretch();
    for (QPushButton* b : {all, selected, discard})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    all->setDefault(true);
    selected->setEnabled(false);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this,
            [this, selected] { selected->setEnabled(!m_list->selectedItems().isEmpty()); });
    connect(all, &QPushButton::clicked, this, [this] { finish(RecoveryChoice::RestoreAll); });
    connect(selected, &QPushButton::clicked, this,
            [this] { finish(RecoveryChoice::RestoreSelected); });
    connect(discard, &QPushButton::clicked, this, [this] { finish(RecoveryChoice::Discard); });
    resize(640, 280);
}

void RecoveryDialog::finish(RecoveryChoice choice) {
    m_answer.choice = choice;
    m_answer.selected.clear();
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        if (m_list->topLevelItem(i)->isSelected())
            m_answer.selected.append(i);
    accept();
}

RecoveryAnswer RecoveryDialog::ask(const QList<RecoveryOffer>& offers, QWidget* parent) {
    RecoveryDialog dialog(offers, parent);
    dialog.exec();
    return dialog.answer();
}
