#pragma once

#include "doc/CVantorpadDoc.h"
#include "editor/DocumentPrinter.h"
#include "editor/SyntaxLanguage.h"

#include <Qsci/qsciscintilla.h>

#include <QPointer>

#include <functional>
#include <vector>

#include "doc/CVantorpadDoc.h"

class DocumentHost;
class KeywordOverlay;
class QAction;
class QMenu;
class QPrinter;
class QUrl;

// The editing view of a text document: a Scintilla editor showing the document's text with
// the editor settings, syntax and keyword colours, detected URLs, the right-click menu, printing.
//
// Scintilla counts bytes of UTF-8; the view's own interface counts UTF-16 units of the text as
// toPlainText gives it, as the keyword matching of the core does. Searches and replace-all read
// Scintilla's bytes in place, and bulk edits replace only the bytes that change, so that a large
// document is never copied whole for them.
class CVantorpadView : public QsciScintilla, public DocumentTextHolder {
    Q_OBJECT
public:
    // The platform services the view calls, replaceable so that tests can script them.
    struct Hooks {
        std::function<void(const QUrl&)> openUrl;
        // Font dialog seeded with `font`; true on OK with the chosen font in `font`.
        std::function<bool(QWidget*, QFont&)> chooseFont;
        std::function<bool(QWidget*, QPrinter&)> pageSetup;
        std::function<bool(QWidget*, QPrinter&)> printDialog;
        // Shows a preview that draws its pages with `paint`.
        std::function<void(QWidget*, QPrinter&, const std::function<void(QPrinter*)>& paint)>
            printPreview;
        // A search that found nothing: the desktop's bell and one flash of the main window.
        std::function<void(QWidget* mainWindow)> searchFailed;
    };
    static Hooks& hooks();
    // The real dialogs, for a test that put its own hooks in their place.
    static Hooks defaultHooks();

    CVantorpadView(DocumentHost& host, CVantorpadDoc* document, QWidget* parent = nullptr);
    ~CVantorpadView() override;

    CVantorpadDoc* doc() const { return m_document; }

    // Where the right-click menu finds the main window's action of a command id (nullptr when
    // the main window has none).
    void setCommandLookup(std::function<QAction*(int)> lookup) { m_lookup = std::move(lookup); }

    // Puts the editor settings onto the view; never marks the document modified and removes
    // keyword colouring and fonts given to a selection.
    void ApplyEditorSettings();

    // The language the text is coloured as; set from the file's name and first line when it is
    // opened or renamed, and by the "言語" menu.
    SyntaxLanguage language() const { return m_language; }
    void setLanguage(SyntaxLanguage language);
    // Puts the View menu's toggles of the settings onto the view.
    void applyViewOptions();

    // Whether the view or its document handles `command`, and its enable rule.
    static bool handlesCommand(int command);
    bool isCommandEnabled(int command) const;
    // Runs a command of the view or its document; false when it is not one of theirs.
    bool runCommand(int command);

    void OnKeywordColour();       // 32773
    void OnFormatFont();          // 57696
    void OnFilePageSetup();       // 57606
    void OnFilePrint();           // 57607
    void OnFilePrintDirect();     // 57608
    void OnFilePrintPreview();    // 57609
    void OnSpreadsheet();         // 32776
    void OnInsertDateTime();      // 32777
    void OnInsertSpecialString(); // 32791
    void OnJumpLine();            // 32769
    // Inserts the non-empty lines of a text file at the caret, each with the document's line
    // end, as one undo step; returns how many lines were read, or -1 when the file cannot be
    // read as text or the view is read-only (nothing is inserted then).
    int InsertTextFile(const QString& path);
    void jumpToLine(int line);

    // Searches from the selection (down from its end, up from its start), never wrapping. A
    // match is selected and the view takes the focus; otherwise the selection stays and the
    // search-failed hook runs.
    bool FindInView(const QString& text, bool up, bool wholeWord, bool matchCase);
    // Replaces the selection as one undo step (nothing in a read-only view). The caret goes
    // after the new text, or before it with `caretBefore`, so that a search upward from there
    // does not find the text just put in.
    void replaceSelection(const QString& text, bool caretBefore = false);
    // Replaces every occurrence from the start of the selection to the end of the text as one
    // undo step, the caret after the last replacement, and reports the final failed search as
    // FindInView does; returns how many were replaced.
    qsizetype replaceAll(const QString& text, const QString& replacement, bool wholeWord,
                         bool matchCase);

    // The character conversions 199-209 on the selection.
    static bool isConversion(int command);
    bool conversionEnabled(int command) const;
    void runConversion(int command);

    // Prints the document as the print commands do, with the header dated now.
    void print(QPrinter& printer);

    // The right-click menu (menu 170), built from the main window's actions.
    QMenu* createContextMenu();

    const PrintMargins& printMargins() const { return m_margins; }
    KeywordOverlay* keywordColours() const { return m_keywords; }
    bool urlDetection() const { return m_urlDetection; }
    // The URL under a point of the viewport, as text; empty when there is none.
    QString urlAt(const QPoint& viewportPos) const;

    // The text, and places in it, in UTF-16 units.
    QString toPlainText() const;
    qsizetype selectionStart() const;
    qsizetype selectionEnd() const;
    qsizetype caretPosition() const;
    void select(qsizetype anchor, qsizetype caret);
    bool hasSelection() const { return hasSelectedText(); }
    // Replaces the selection with `text` as typed text would be (one undo step): every line
    // break in it becomes the document's line end.
    void insertPlainText(const QString& text);
    bool canPaste() const;
    // The caret's line (1-based) and the number of lines, as the status bar shows them.
    int caretLine() const;
    int lineCount() const { return lines(); }
    // The box of the character at `position` in the viewport.
    QRect characterRect(qsizetype position) const;
    // The font the character at `position` is drawn with.
    QFont fontAt(qsizetype position) const;

    // Scintilla's byte positions for UTF-16 positions, and back.
    long bytePosition(qsizetype position) const;
    qsizetype textPosition(long bytePosition) const;

    // DocumentTextHolder
    QByteArray editorText() const override;
    void loadEditorText(const QByteArray& utf8, LineEnd mainLineEnd) override;
    bool isTextModified() const override;
    void markTextUnmodified() override;

    // A document with a line too long to lay out is shown with display breaks and stays
    // read-only (see LongLines.h).
    void setReadOnly(bool readOnly) override;
    // QScintilla's accessibility bookkeeping counts the characters from the start of the text
    // to every edit (see EditorAccessibility.h): these edits run quietly instead.
    void undo() override;
    void redo() override;
    void cut() override;
    void paste() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Files dragged from the desktop are not text for the view: they go on to the main window,
    // which opens them.
    void dragEnterEvent(QDragEnterEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;

private:
    // While one lives, Scintilla tells the view of its changes only before it makes them
    // (nothing that counts characters runs); when the last one ends, textChanged is emitted
    // once if the text changed.
    class QuietEdit {
    public:
        explicit QuietEdit(CVantorpadView& view);
        ~QuietEdit();
        QuietEdit(const QuietEdit&) = delete;
        QuietEdit& operator=(const QuietEdit&) = delete;

    private:
        CVantorpadView& m_view;
        long m_mask;
    };
    void noteModification(int type);
    // Puts `utf8` in place of the bytes from `from` to `to` as one undo step, quietly. A large
    // edit first lets go of the UTF-16 line index, which Scintilla would otherwise count through
    // all the new text; the next question in UTF-16 positions builds it again.
    void replaceRange(long from, long to, QByteArrayView utf8);

    void replaceSelectionConverted(const std::function<QString(QStringView, QChar)>& convert);
    void addMenuCommand(QMenu* menu, int command);
    // Scintilla's text in place, valid until the next change: from the character before
    // `from` (`*base`) to `to`, or to the end when `to` is -1.
    QByteArrayView documentBytes(long from, long to, long* base) const;
    void textChangedBehind();
    // Hands a double-clicked link to the desktop, after a question where the link may be more
    // than a page to show.
    void openLink(const QUrl& target);
    // Underlines the URLs of the lines on screen.
    void markVisibleUrls();
    // The base style over all text: no keyword colours, no fonts of a selection.
    void removeFormats();
    void applyColours();
    void detectLanguage();
    long sendLong(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;

    DocumentHost& m_host;
    QPointer<CVantorpadDoc> m_document;
    KeywordOverlay* m_keywords;
    std::function<QAction*(int)> m_lookup;
    PrintMargins m_margins;
    bool m_urlDetection = false;
    bool m_selectionFonts = false;
    bool m_overLink = false;
    mutable bool m_utf16Index = false;
    SyntaxLanguage m_language = SyntaxLanguage::None;
    int m_urlFirstLine = -1;
    int m_urlLastLine = -1;
    std::vector<qsizetype> m_displayBreaks; // see LongLines.h
    int m_quietDepth = 0;
    bool m_quietChanged = false;
};
