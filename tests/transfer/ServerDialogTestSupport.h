#pragma once

#include "ftp/FileListOrder.h"
#include "settings/AppSettings.h"
#include "transfer/ServerDialogContext.h"
#include "transfer/ServerListLines.h"

#include "FtpServerFixture.h"
#include "TempDir.h"
#include "TrustPlace.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <ostream>

class FileListView;
class QModelIndex;

// A test FTP server, the settings of an application whose profile 0 logs on to it, and an
// empty transfer directory.
struct ServerDialogWorld {
    explicit ServerDialogWorld(int code = CodeSystemSjis, const QString& dir = QString(),
                               const FtpServerFixture::Options& options = {});

    FtpServerFixture server;
    TempDir transfer;
    AppSettings settings;
    int currentServer = 0;
    FileListOrder listOrder{ColumnCount, NameColumn};
    TrustPlace trust;
    ServerDialogContext context{settings, currentServer, 0, listOrder, trust.trust()};
};

// Readable failure output for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

QStringList strings(std::initializer_list<const char*> utf8);

// The texts of one column of a list, top to bottom.
QStringList columnTexts(FileListView* list, int column = 0);
QModelIndex itemNamed(FileListView* list, const QString& name);
// The text in `column` of the line whose name column reads `name`.
QString cellText(FileListView* list, const QString& name, int column);
// Clicks (or double-clicks) the line whose name column reads `name`, as the mouse would.
void clickLine(FileListView* list, const QString& name);
void doubleClickLine(FileListView* list, const QString& name);

// Runs `act` on the modal dialog that the next call opens, once it is shown.
void whenModalShown(std::function<void(QWidget*)> act);

template <typename T> T* childNamed(QWidget* parent, const char* name) {
    return parent->findChild<T*>(QString::fromLatin1(name));
}
