#include "AppHarness.h"

#include "app/CVantorpadApp.h"
#include "frame/CMainFrame.h"
#include "ftp/CFtpClient.h"
#include "settings/AppSettings.h"
#include "settings/ServerProfile.h"
#include "transfer/ServerFileFetch.h"

#include <QDir>

#include <gtest/gtest.h>

AppHarness::AppHarness(const QByteArray& extraIni) : m_previousDir(QDir::currentPath()) {
    QDir(m_dir.path()).mkpath(QStringLiteral("pc"));
    QDir(m_dir.path()).mkpath(QStringLiteral("tran"));
    const QByteArray ini = "[Env]\r\nPcDir=" + pcDir().toUtf8() +
                           "\r\nTranDir=" + tranDir().toUtf8() + "\r\n" + extraIni;
    m_dir.write(QStringLiteral("Vantorpad.ini"), ini);
    QDir::setCurrent(m_dir.path());
    m_app = std::make_unique<CVantorpadApp>();
    EXPECT_TRUE(m_app->InitInstance({}));
}

AppHarness::~AppHarness() {
    m_app->ExitInstance();
    m_app.reset();
    QDir::setCurrent(m_previousDir);
}

CMainFrame& AppHarness::frame() {
    return *m_app->mainFrame();
}

QString AppHarness::pcFile(const QString& name) const {
    return QDir(pcDir()).filePath(name);
}

QString AppHarness::tranFile(const QString& name) const {
    return QDir(tranDir()).filePath(name);
}

bool AppHarness::openLocalText(const QString& path, bool readOnly) {
    return m_app->OpenTextDocument(path, ServerProfile(), false, readOnly);
}

bool AppHarness::openText(const QString& path, bool fromServer) {
    return m_app->OpenTextDocument(path, ServerProfile(), fromServer, false);
}

CVantorpadDoc* AppHarness::openFromServer(const ServerProfile& profile, const QByteArray& remote) {
    auto client = CFtpClient::create(m_app->settings.Network, false, profile, m_app->serverTrust());
    if (!client || !client->OpenSession().ok())
        return nullptr;
    const FetchedFile fetched =
        fetchForEditing(*client, m_app->settings.TranDir, profile, profile.Code, remote, false);
    client->CloseSession();
    if (!fetched.result.ok() ||
        !m_app->OpenTextDocument(fetched.localPath, fetched.profile, true, false, fetched.stamp))
        return nullptr;
    return frame().activeDocument();
}
