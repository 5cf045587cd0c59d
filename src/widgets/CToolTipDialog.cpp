#include "widgets/CToolTipDialog.h"

#include <QEvent>
#include <QWidget>

#include <utility>

namespace {
bool g_toolTipsEnabled = true;
}

CToolTipDialog::CToolTipDialog(QWidget* parent) : QDialog(parent) {}

bool CToolTipDialog::setToolTipsEnabled(bool enabled) {
    return std::exchange(g_toolTipsEnabled, enabled);
}

bool CToolTipDialog::toolTipsEnabled() {
    return g_toolTipsEnabled;
}

QHash<int, QString>& CToolTipDialog::stringTable() {
    static QHash<int, QString> table;
    return table;
}

void CToolTipDialog::registerToolTips() {
    m_registered = true;
    const QHash<int, QString>& table = stringTable();
    for (QWidget* child : findChildren<QWidget*>()) {
        bool ok = false;
        const int id = child->property("controlId").toInt(&ok);
        if (!ok)
            continue;
        const auto text = table.constFind(id);
        if (text == table.cend())
            continue;
        child->setToolTip(*text);
        child->installEventFilter(this);
    }
}

void CToolTipDialog::showEvent(QShowEvent* event) {
    if (!m_registered)
        registerToolTips();
    QDialog::showEvent(event);
}

bool CToolTipDialog::eventFilter(QObject* watched, QEvent* event) {
    // With the switch off a control keeps its tip but does not show it.
    if (event->type() == QEvent::ToolTip && !g_toolTipsEnabled)
        return true;
    return QDialog::eventFilter(watched, event);
}
