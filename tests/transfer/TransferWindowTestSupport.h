#pragma once

#include "settings/AppSettings.h"
#include "settings/ServerProfile.h"
#include "transfer/CFtpDlg.h"
#include "transfer/TransferWindowContext.h"

#include "FtpServerFixture.h"
#include "TempDir.h"
#include "TrustPlace.h"

#include <QStringList>

#include <memory>
#include <vector>

class FileListView;

// A document the transfer window asked the application to open.
struct OpenedDocument {
    QString path;
    ServerProfile profile;
    bool fromServer = false;
    bool readOnly = false;
    std::optional<ServerFileStamp> stamp;
};

// A test FTP server, the settings of an application whose profile 0 logs on to it, an empty
// PC directory and an empty transfer directory.
struct TransferWorld {
    explicit TransferWorld(int code = CodeSystemSjis, const QString& dir = QString(),
                           const FtpServerFixture::Options& options = {});

    // The window over this world, shown; the drive box lists `drives` when it is not empty.
    std::unique_ptr<CFtpDlg> open();
    TransferWindowContext context();

    QString pcFile(const QString& name) const { return pc.filePath(name); }

    FtpServerFixture server;
    TempDir pc;
    TempDir transfer;
    AppSettings settings;
    int currentServer = 0;
    TrustPlace trust;
    std::vector<OpenedDocument> opened;
    std::vector<DriveInfo> drives;
};

// The name column of a pane, top to bottom.
QStringList paneNames(CFtpDlg& window, CFtpDlg::Pane pane);
QStringList paneTexts(FileListView* list, int column);
// Selects the lines with these names as the mouse would (a click, then Ctrl+clicks).
void selectNames(CFtpDlg& window, CFtpDlg::Pane pane, const QStringList& names);
void doubleClickName(CFtpDlg& window, CFtpDlg::Pane pane, const QString& name);
// Clicks the child button `name` of the window.
void pressButton(QWidget* window, const char* name);

// The names as UTF-8 literals.
QStringList utf8List(std::initializer_list<const char*> texts);

// Shift_JIS and EUC-JP bytes of UTF-8 text.
QByteArray sjisBytes(const char* utf8);
QByteArray eucBytes(const char* utf8);
