#include "ServerDialogTestSupport.h"

#include "settings/ServerProfile.h"
#include "transfer/FileListView.h"
#include <QApplication>
#include <QTest>
#include <QTimer>

#include <QAbstractItemModel>

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

QStringList columnTexts(FileListView* list, int column) {
    QStringList texts;
    QAbstractItemModel* model = list->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts.append(model->index(row, column).data().toString());
    return texts;
}

QModelIndex itemNamed(FileListView* list, const QString& name) {
    QAbstractItemModel* model = list->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, 0).data().toString() == name)
            return model->index(row, 0);
    }
    ADD_FAILURE() << "no line " << name.toStdString();
    return {};
}

QString cellText(FileListView* list, const QString& name, int column) {
    const QModelIndex line = itemNamed(list, name);
    return line.isValid() ? line.siblingAtColumn(column).data().toString() : QString();
}

namespace {

QPoint centreOf(FileListView* list, const QModelIndex& line) {
    list->scrollTo(line);
    return list->visualRect(line).center();
}

} // namespace

void clickLine(FileListView* list, const QString& name) {
    if (const QModelIndex line = itemNamed(list, name); line.isValid())
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOf(list, line));
}

void doubleClickLine(FileListView* list, const QString& name) {
    const QModelIndex line = itemNamed(list, name);
    if (!line.isValid())
        return;
    const QPoint at = centreOf(list, line);
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
