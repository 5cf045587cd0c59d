#pragma once

#include "doc/DocumentText.h"
#include "ftp/ServerFileStamp.h"
#include "platform/Result.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

struct ServerProfile;
class CFtpClient;
class DiskFileWatch;
class DocumentHost;
class QWidget;

// Where a document's text lives while it is shown: the editor, which holds it in the form of
// EditorText (every line with its own line end), so that a document opened and saved unchanged
// is written byte for byte as it was read. An editor that is a QObject announces every change of
// its text with a signal textChanged().
class DocumentTextHolder {
public:
    virtual ~DocumentTextHolder() = default;
    virtual QByteArray editorText() const = 0;
    // Replaces the text with a file's: no undo step leads back, and it is unmodified.
    virtual void loadEditorText(const QByteArray& utf8, LineEnd mainLineEnd) = 0;
    virtual bool isTextModified() const = 0;
    virtual void markTextUnmodified() = 0;
};

// The editor's document: the text of one local file, which is either a client file or the local
// copy of a server file that remembers the profile it came from so that it can be saved back.
// Until an editor holds the text (and after it is gone), the document keeps it itself.
class CVantorpadDoc : public QObject {
    Q_OBJECT
public:
    explicit CVantorpadDoc(DocumentHost& host, QObject* parent = nullptr);
    ~CVantorpadDoc() override;

    // The editor that holds the text from now on (nullptr: the document keeps it again).
    void attachEditor(DocumentTextHolder* holder);
    // The holder tells the document that its modified state may have changed.
    void editorModificationChanged();
    // The window that shows the document: parent of its dialogs, held busy while it saves.
    void setView(QWidget* view) { m_view = view; }
    QWidget* view() const { return m_view; }

    // Framework operations. Every save reports its own failures to the user.
    void OnNewDocument();
    [[nodiscard]] bool OnOpenDocument(const QString& path);
    [[nodiscard]] bool OnSaveDocument(const QString& path);
    // Saves to `path`, or asks for a name first when `path` is empty (Cancelled when the user
    // gives none).
    Result<> DoSave(const QString& path);
    // Before closing: asks what to do with changes and saves when told to. False keeps the
    // document open: the user cancelled, or the save did not complete.
    [[nodiscard]] bool SaveModified();
    // After closing: deletes the local copy of a server file when the settings say so.
    void OnCloseDocument();

    // Commands.
    void OnFileSave();         // 57603
    void OnFileSaveAs();       // 57604
    void OnFileSaveToServer(); // 32774
    bool canSaveToServer() const;
    void OnFileReload(); // 32775
    // Another window of the program (the spreadsheet) wrote the document's file: the document
    // shows the new text (one with edits of its own asks first), and a server document is then
    // modified, so that its save sends the text to the server and closing asks first.
    void OnFileRewritten();
    // Asks about a change another program made to the document's file since the last time
    // (reload, compare, or keep the editor's text); says when the file was deleted. Called
    // when the document's window is activated.
    void checkDiskFile();

    // Writes the local file, then uploads it to the profile's server directory. Done when the
    // server holds the text.
    Result<> SaveToServer();

    // Shows the document side by side with its file as it is now: the server's file for a
    // server document (fetched for the comparison), the file on disk for a local one.
    void OnFileCompare();
    bool canCompare() const;
    // Shows the document side by side with its file as it is on disk now; false, with the
    // message shown, when the file cannot be read.
    [[nodiscard]] bool compareWithDisk();
    // Another version of the document's file, read as the document reads its own.
    Result<EditorText> readVersion(const QString& path) const;

    bool isModified() const;
    void setModified(bool modified);

    const QString& title() const { return m_title; }
    void setTitle(const QString& title);
    const QString& fileName() const { return m_fileName; }
    const QString& pathName() const { return m_pathName; }
    bool serverFile() const { return m_serverFile; }
    void setServerFile(bool serverFile) { m_serverFile = serverFile; }
    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    const ServerProfile& profile() const { return *m_profile; }
    void setProfile(const ServerProfile& profile);
    // The version of the server's file the text came from (nothing when the server did not
    // tell): a save to the server compares it with the server's file first, and takes the new
    // version after sending.
    const std::optional<ServerFileStamp>& serverStamp() const { return m_serverStamp; }
    void setServerStamp(const std::optional<ServerFileStamp>& stamp) { m_serverStamp = stamp; }
    TextEncoding encoding() const { return m_encoding; }
    LineEnd prevailingLineEnd() const { return m_prevailing; }
    // The text in the editor's form.
    QByteArray editorText() const;

    // Insert (true, the initial state) or overwrite mode of the document's editor.
    bool insertMode() const { return m_insertMode; }
    void setInsertMode(bool insert);

    // The latest text was written locally but has not reached the server.
    bool serverCopyPending() const { return m_serverCopyPending; }
    // Text that a crash would lose: modified, or not yet on the server.
    bool hasUnsavedText() const { return isModified() || m_serverCopyPending; }
    // Takes text kept from a run that ended without saving it: the document shows it as
    // unsaved changes to the file at `path` (empty: a document that never had a file), whether
    // or not that file is there.
    void RestoreText(const QString& path, const EditorText& text);
    // The local copy of a server file: the path it was opened from (or renamed to by the
    // save-to-server command). Kept rather than rebuilt from the settings, which may have
    // moved the transfer directory since.
    const QString& transferCopyPath() const { return m_localCopy; }

    // The text with its line ends, as it would be written.
    QString textWithLineEnds() const;

signals:
    void titleChanged(const QString& title);
    void insertModeChanged(bool insert);
    // The text was replaced by the file's (open, reload).
    void textLoaded();
    void modifiedChanged(bool modified);
    // A save to the server failed (true) or a later one reached it (false).
    void serverCopyPendingChanged(bool pending);

private slots:
    void editorTextChanged();

private:
    // A copy of a UTF-8 server's file reads as UTF-8 even with bytes that are no UTF-8.
    TextOrigin textOrigin() const;
    void loadText(const EditorText& decoded);
    // Reads the file at the document's path into the text; false (reported) when it cannot.
    [[nodiscard]] bool readFile();
    Result<> uploadLocalCopy();
    // A UTF-8 server keeps its text in UTF-8: a copy that came as plain ASCII (read as
    // Shift_JIS, which it equally is) is written back as UTF-8, so the characters typed since
    // reach that server as it keeps them. A Shift_JIS file stays one; its upload is refused.
    void adoptServerEncoding();
    // Downloads the server's current `remote` beside the local copy under a name of its own
    // and opens it read-only, to compare with the document before overwriting it.
    void openServerVersion(CFtpClient& client, const QByteArray& remote);
    // Fetches the server's current `remote` into a temporary file and shows the document side
    // by side with it. Its version, `current`, is the one the next save compares with: the
    // user has seen what it changed.
    void compareServerVersion(CFtpClient& client, const QByteArray& remote,
                              const std::optional<ServerFileStamp>& current);
    Result<> fetchServerFile(CFtpClient& client, const QString& path, const QByteArray& remote);
    // Gives the local copy the new name `name` beside where it lies; false (with a message)
    // when the name is taken, cannot be sent to the server of `profile`, or the rename fails.
    [[nodiscard]] bool renameLocalCopy(const QString& name, const ServerProfile& profile);
    QString localSaveDirectory() const;
    void setPathName(const QString& path);

    DocumentHost& m_host;
    DocumentTextHolder* m_holder = nullptr;
    QMetaObject::Connection m_holderChanges;
    QByteArray m_pendingText; // the text while no editor holds it
    bool m_markedModified = false;
    bool m_shownModified = false;
    QPointer<QWidget> m_view;

    QString m_title;
    QString m_fileName;
    bool m_serverFile = false;
    bool m_readOnly = false;
    std::unique_ptr<ServerProfile> m_profile; // never null
    std::optional<ServerFileStamp> m_serverStamp;

    QString m_pathName;
    QString m_localCopy;
    TextEncoding m_encoding = TextEncoding::Cp932;
    LineEnd m_prevailing = LineEnd::Lf;
    bool m_insertMode = true;
    bool m_serverCopyPending = false;
    DiskFileWatch* m_diskWatch; // owned as a child
};
