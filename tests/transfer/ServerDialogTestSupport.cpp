#include "ServerDialogTestSupport.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

ServerDialogWorld::ServerDialogWorld(int code, const QString& dir,
                                     const FtpServerFixture::Options& options)
    : server(options) {
    EXPECT_TRUE(server.isRunning());
    settings.Profiles[0] = server.profile(code, dir);
    settings.Network = server.network();
    settings.TranDir = transfer.path();
    settings.PcDir = transfer.path();
}

QStringList strings(std::initializer_list<const char*> utf8) {
    QStringList list;
    for (const char* s : utf8)
        list.append(QString::fromUtf8(s));
    return list;
}

QStringList columnTexts(QTreeWidget* list, int column) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts.append(list->topLevelItem(i)->text(column));
    return texts;
}

QTreeWidgetItem* itemNamed(QTreeWidget* list, const QString& name) {
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0) == name)
            return list->topLevelItem(i);
    }
    ADD_FAILURE() << "no line " << name.toStdString();
    return nullptr;
}

namespace {

QPoint centreOf(QTreeWidget* list, QTreeWidgetItem* item) {
    list->scrollToItem(item);
    return list->visualItemRect(item).center();
}

} // namespace

void clickLine(QTreeWidget* list, const QString& name) {
    if (QTreeWidgetItem* item = itemNamed(list, name))
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOf(list, item));
}

void doubleClickLine(QTreeWidget* list, const QString& name) {
    QTreeWidgetItem* item = itemNamed(list, name);
    if (!item)
        return;
    const QPoint at = centreOf(list, item);
    // A double click is a press, a release and a double-click event, as the platform sends it.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

void whenModalShown(std::function<void(QWidget*)> act) {
    // Polls until a modal dialog is up: the dialog may first talk to the server.
    auto* timer = new QTimer;
    timer->setInterval(10);
    auto polls = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, act, polls] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) {
            if (++*polls > 1000) {
                timer->stop();
                timer->deleteLater();
                ADD_FAILURE() << "no modal dialog was shown";
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start();
}
