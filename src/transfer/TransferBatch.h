#pragma once

#include "app/ServerProfile.h"
#include "ftp/ServerFileEntry.h"

#include <QString>

struct AppSettings;
class CFtpClient;
class TransferProgress;

// One upload or download of the selected lines of a pane, in list order. Every selected line
// is counted, directories too, but only files are moved. A file that fails shows its message
// and the loop goes on with the next one.
//
// Before every line after the cancel button was pressed the user is asked "中止します。
// よろしいですか？"; Yes ends the loop, No goes on (and the question comes again before the next
// line). An upload finishes the file it is moving first. A download asks at once: Yes stops the
// file where it is, the partial data is dropped and an older local file of that name stays as
// it was.
class TransferBatch {
public:
    TransferBatch(CFtpClient& client, const AppSettings& settings, const ServerProfile& profile,
                  int transferMode, const QString& pcPath, TransferProgress& progress);
    ~TransferBatch();
    TransferBatch(const TransferBatch&) = delete;
    TransferBatch& operator=(const TransferBatch&) = delete;

    // `selected` are entries of the PC pane (names as local bytes).
    void upload(const ServerFileList& selected);
    // `selected` are entries of the server pane, whose names were read in `listCode`.
    void download(const ServerFileList& selected, int listCode);

    // Files moved, and files that failed (user cancels not counted).
    int transferred() const { return m_transferred; }
    int failed() const { return m_failed; }
    bool cancelled() const { return m_cancelled; }

private:
    enum class Direction { Upload, Download };

    void run(Direction direction, const ServerFileList& selected, int listCode);
    bool askToStop();
    bool progressed(qint64 done, qint64 total);
    void uploadOne(const ServerFileEntry& entry, const QString& counter);
    void downloadOne(const ServerFileEntry& entry, int listCode, const QString& counter);
    int send(const QString& local, const QByteArray& remote, const QString& name);

    CFtpClient& m_client;
    const AppSettings& m_settings;
    const ServerProfile m_profile;
    const int m_mode;
    const QString m_pcPath;
    TransferProgress& m_progress;

    Direction m_direction = Direction::Upload;
    qint64 m_expectedSize = 0;
    bool m_stopFile = false;
    bool m_cancelled = false;
    int m_transferred = 0;
    int m_failed = 0;
};
