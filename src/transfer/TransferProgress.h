#pragma once

#include <QString>

// What a transfer loop tells the progress window and asks it. The window is modeless: the loop
// lets the event loop turn between files (and the FTP layer during each file), so its cancel
// button can be pressed.
class TransferProgress {
public:
    virtual ~TransferProgress() = default;

    // The file being moved and the counter text of its line.
    virtual void showItem(const QString& name, const QString& counter) = 0;
    // Bytes of the current file's step moved or converted so far, of `total` (0 when not
    // known). A converting transfer's file has two steps, the conversion and the data.
    virtual void showBytes(qint64 done, qint64 total) = 0;
    // The whole batch: files finished of the files to move, and the bytes of them.
    virtual void showBatch(int filesDone, int files, qint64 bytesDone, qint64 bytes) = 0;
    // Lets pending window events run (repaint, the cancel button).
    virtual void processEvents() = 0;
    // The cancel button was pressed at some time during this run; it stays set.
    virtual bool cancelRequested() const = 0;
    // A press of the cancel button that no question has answered yet; taking it answers it.
    virtual bool takeCancelPress() = 0;
    // Takes the window off the screen once the user confirmed the cancel.
    virtual void hideWindow() = 0;
};
