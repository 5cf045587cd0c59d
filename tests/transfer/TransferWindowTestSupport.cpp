#include "TransferWindowTestSupport.h"

#include "encoding/LosslessCodec.h"
#include "settings/ServerProfile.h"
#include "transfer/FileListModel.h"
#include "transfer/FileListView.h"

#include <QAbstractButton>
#include <QTest>

#include <gtest/gtest.h>

TransferWorld::TransferWorld(int code, const QString& dir, const FtpServerFixture::Options& options)
    : server(options) {
    EXPECT_TRUE(server.isRunning());
    settings.Profiles[0] = server.profile(code, dir);
    settings.Network = server.network();
    settings.TranDir = transfer.path();
    settings.PcDir = pc.path();
}

TransferWindowContext TransferWorld::context() {
    TransferWindowContext c{settings, currentServer, 0, trust.trust(), {}, {}};
    c.openDocument = [this](const QString& path, const ServerProfile& profile, bool fromServer,
                            bool readOnly, const std::optional<ServerFileStamp>& stamp) {
        opened.push_back({path, profile, fromServer, readOnly, stamp});
        return true;
    };
    if (!drives.empty())
        c.drives = [this] { return drives; };
    return c;
}

std::unique_ptr<CFtpDlg> TransferWorld::open() {
    auto window = std::make_unique<CFtpDlg>(context());
    window->show();
    return window;
}

QStringList paneTexts(FileListView* list, int column) {
    QStringList texts;
    const FileListModel* model = list->lines();
    for (int row = 0; row < model->rowCount(); ++row)
        texts.append(model->line(row).texts.value(column));
    return texts;
}

QStringList paneNames(CFtpDlg& window, CFtpDlg::Pane pane) {
    return paneTexts(window.pane(pane), 0);
}

namespace {

QPoint centreOfRow(FileListView* list, int row) {
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    return list->visualRect(index).center();
}

int rowNamed(FileListView* list, const QString& name) {
    const QStringList names = paneTexts(list, 0);
    const int row = int(names.indexOf(name));
    if (row < 0)
        ADD_FAILURE() << "no line " << name.toStdString() << " in "
                      << names.join(u',').toStdString();
    return row;
}

} // namespace

void selectNames(CFtpDlg& window, CFtpDlg::Pane pane, const QStringList& names) {
    FileListView* list = window.pane(pane);
    bool first = true;
    for (const QString& name : names) {
        const int row = rowNamed(list, name);
        if (row < 0)
            continue;
        QTest::mouseClick(list->viewport(), Qt::LeftButton,
                          first ? Qt::KeyboardModifiers() : Qt::ControlModifier,
                          centreOfRow(list, row));
        first = false;
    }
}

void doubleClickName(CFtpDlg& window, CFtpDlg::Pane pane, const QString& name) {
    FileListView* list = window.pane(pane);
    const int row = rowNamed(list, name);
    if (row < 0)
        return;
    const QPoint at = centreOfRow(list, row);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

void pressButton(QWidget* window, const char* name) {
    auto* button = window->findChild<QAbstractButton*>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    ASSERT_TRUE(button->isVisible()) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

QStringList utf8List(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* t : texts)
        list.append(QString::fromUtf8(t));
    return list;
}

QByteArray sjisBytes(const char* utf8) {
    return LosslessCodec::cp932().encode(QString::fromUtf8(utf8)).bytes;
}

QByteArray eucBytes(const char* utf8) {
    return LosslessCodec::eucJp().encode(QString::fromUtf8(utf8)).bytes;
}
