#pragma once

#include "TempDir.h"

#include <QByteArray>
#include <QString>

#include <memory>

class CMainFrame;
class CVantorpadApp;
class CVantorpadDoc;
struct ServerProfile;

// The application started headless from a temporary start-up directory whose INI file points
// the local and transfer directories at two folders inside it ("pc" and "tran"); shut down and
// the process's current directory restored when the harness goes. Install the ScriptedPrompt
// before creating it.
class AppHarness {
public:
    explicit AppHarness(const QByteArray& extraIni = QByteArray());
    ~AppHarness();

    CVantorpadApp& app() { return *m_app; }
    CMainFrame& frame();
    const TempDir& dir() const { return m_dir; }
    QString pcDir() const { return m_dir.filePath(QStringLiteral("pc")); }
    QString tranDir() const { return m_dir.filePath(QStringLiteral("tran")); }
    QString pcFile(const QString& name) const;
    QString tranFile(const QString& name) const;
    // Opens the local file `path` in an editor window, as File > Open does.
    [[nodiscard]] bool openLocalText(const QString& path, bool readOnly = false);
    // Opens `path` as the local copy of a server file of an empty profile when `fromServer`.
    [[nodiscard]] bool openText(const QString& path, bool fromServer);
    // Fetches the server file `remote` as the server windows do, over a client logged on with
    // the application's network settings, and opens it as a server document of `profile`. The
    // document, or nullptr when the fetch or the opening failed.
    [[nodiscard]] CVantorpadDoc* openFromServer(const ServerProfile& profile,
                                                const QByteArray& remote);

private:
    TempDir m_dir;
    QString m_previousDir;
    std::unique_ptr<CVantorpadApp> m_app;
};
