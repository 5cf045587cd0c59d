#pragma once

#include "ftp/ListingParser.h"
#include "platform/Result.h"

#include <QByteArray>

#include <functional>
#include <optional>
#include <utility>

// What a server tells of one file: either part may be missing.
struct RemoteFileInfo {
    std::optional<qint64> size;
    std::optional<qint64> modified; // seconds since 1970, UTC
    // The time in the server's own words when the protocol has them (FTP's MDTM answer,
    // "YYYYMMDDhhmmss[.fff]"): compared as text, it still tells versions apart on a server
    // whose clock is not UTC.
    QByteArray modifiedAsTold;
    bool directory = false;
};

// How a file's bytes travel: as they are, or as text in the protocol's text mode (FTP's TYPE A;
// a protocol without one moves the bytes as they are).
enum class TransferType { Binary, Ascii };

// Everything the program asks of a server, whatever protocol carries it. Paths are the
// server's bytes, absolute or relative to the current directory. Every operation that can
// fail says so with a Result whose message is the server's own words when the server refused
// (else a text of ours for what went wrong on the way); nothing here shows a message.
// Operations block the caller, letting the Qt event loop turn between steps of a transfer.
class RemoteSession {
public:
    // A piece of a file as it arrives; false when it could not be written on the PC (the
    // transfer then fails, and the caller knows why).
    using Sink = std::function<bool(const char* data, qsizetype size)>;
    // Fills `buffer` with the next piece of the file to send: the bytes given, 0 at the end,
    // -1 when the PC's file could not be read.
    using Source = std::function<qint64(char* buffer, qint64 capacity)>;
    // The bytes moved so far and the size (0 when not known); false cancels the transfer.
    using Progress = std::function<bool(qint64 done, qint64 total)>;
    using EntrySink = std::function<void(ListedEntry&& entry)>;
    // A line for the debug log ("ftp.log"): what a session noticed that no result carries.
    // This program's words in CP932 and the server's bytes.
    using Note = std::function<void(const QByteArray& line)>;

    virtual ~RemoteSession() = default;

    // Connects and logs on; the value is the directory the server put us in.
    virtual Result<QByteArray> logOn() = 0;
    // Lets the connection go (saying goodbye when it still stands).
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // The directory relative paths are taken in.
    virtual QByteArray currentDirectory() const = 0;
    // Makes `directory` current; the value is the directory as the server names it.
    virtual Result<QByteArray> changeDirectory(const QByteArray& directory) = 0;

    // The entries of a directory in the server's order, without "." and "..". A path that is
    // a file gives that file's entry; a name that is not there gives nothing and is Done.
    virtual Result<void> list(const QByteArray& path, const EntrySink& sink) = 0;
    // What the server tells of one name: a file's entry (a directory's own entry, or its
    // entries, as the protocol answers); a name that is not there gives nothing and is Done.
    virtual Result<void> lookUp(const QByteArray& path, const EntrySink& sink) = 0;
    virtual Result<RemoteFileInfo> stat(const QByteArray& path) = 0;

    // The value is the number of bytes moved. A cancelled transfer ends Cancelled.
    virtual Result<qint64> retrieve(const QByteArray& path, TransferType mode,
                                    const Sink& sink) = 0;
    virtual Result<qint64> store(const QByteArray& path, TransferType mode, qint64 size,
                                 const Source& source) = 0;

    virtual Result<void> rename(const QByteArray& from, const QByteArray& to) = 0;
    virtual Result<void> remove(const QByteArray& path) = 0;
    virtual Result<void> makeDirectory(const QByteArray& path) = 0;
    virtual Result<void> removeDirectory(const QByteArray& path) = 0;

    void setProgressHandler(Progress progress) { m_progress = std::move(progress); }
    void setNote(Note note) { m_note = std::move(note); }
    // An operation is under way: the event loop turns during it, and a call made from an event
    // meanwhile must not reach the server.
    bool busy() const { return m_busy; }

protected:
    class BusyScope {
    public:
        explicit BusyScope(RemoteSession& session)
            : m_session(session), m_before(std::exchange(session.m_busy, true)) {}
        // A call refused while another runs must not end the other's busy state.
        ~BusyScope() { m_session.m_busy = m_before; }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        RemoteSession& m_session;
        bool m_before;
    };

    // Tells the progress handler; false when the user cancelled.
    bool progressed(qint64 done, qint64 total) const {
        return !m_progress || m_progress(done, total);
    }

    void note(const QByteArray& line) const {
        if (m_note)
            m_note(line);
    }

private:
    Progress m_progress;
    Note m_note;
    bool m_busy = false;
};
