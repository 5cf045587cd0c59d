#pragma once

#include "diff/TextComparison.h"
#include "doc/DocumentHost.h"

#include <QByteArray>
#include <QPointer>
#include <QWidget>

class CompareView;
class CVantorpadDoc;
class QLabel;
class QPushButton;
class QsciScintilla;

// "比較 - <name>": a document (left) side by side with another version of its file (right),
// the server's or the one on disk. Changed lines are marked on both sides and changed
// characters inside them; "次の変更" and "前の変更" go from change to change, both sides scroll
// together, and "サーバ側を取り込む" ("ディスク側を取り込む") puts the other side's lines of the
// current change into the document, as one step its undo takes back.
class CompareWindow : public QWidget {
    Q_OBJECT
public:
    // Reads `otherPath` as `document` reads its file and shows the comparison; false, with the
    // message shown, when it cannot be read. A `temporary` file is deleted when the window
    // closes, or at once when it does not open.
    [[nodiscard]] static bool open(CVantorpadDoc& document, const QString& otherPath,
                                   VersionSource source, bool temporary,
                                   const AppSettings& settings, QWidget* parent);

    CompareWindow(CVantorpadDoc& document, QByteArray otherText, VersionSource source,
                  const QString& otherName, const AppSettings& settings, QWidget* parent = nullptr);
    ~CompareWindow() override;

    // A file that belongs to this comparison and goes with it.
    void setTemporaryFile(const QString& path) { m_temporaryFile = path; }

    const TextComparison& comparison() const { return m_comparison; }
    // The change shown, -1 for none.
    int currentChange() const { return m_current; }
    CompareView* documentSide() const { return m_left; }
    CompareView* otherSide() const { return m_right; }

    void nextChange();
    void previousChange();
    // Replaces the document's lines of the current change with the other side's.
    void takeOverChange();
    // Compares the document's text as it is now once more.
    void compareAgain();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void removeTemporaryFile();
    void buildWindow(const QString& otherName);
    void markChanges();
    void showChange(int index);
    void follow(CompareView* from);
    void updateState();
    bool canTakeOver() const;
    QsciScintilla* documentEditor() const;

    QPointer<CVantorpadDoc> m_document;
    VersionSource m_source;
    QByteArray m_documentText;
    QByteArray m_otherText;
    TextComparison m_comparison;
    int m_current = -1;
    bool m_following = false;
    QString m_temporaryFile;

    CompareView* m_left = nullptr;
    CompareView* m_right = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_previous = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_takeOver = nullptr;
};
