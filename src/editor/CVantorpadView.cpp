#include "editor/CVantorpadView.h"

#include "commands/Command.h"
#include "commands/EditorCommands.h"
#include "doc/CVantorpadDoc.h"
#include "doc/DocumentHost.h"
#include "editor/EditorAccessibility.h"
#include "editor/KeptBytesDisplay.h"
#include "editor/KeywordOverlay.h"
#include "editor/LongLines.h"
#include "editor/SyntaxColours.h"
#include "editor/UrlDetector.h"
#include "platform/BusyGuard.h"
#include "platform/Prompt.h"
#include "settings/AppSettings.h"
#include "widgets/EditorAppearance.h"
#include "widgets/FixedPitchFontDialog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QUrl>

#include <Qsci/qscilexer.h>

namespace {

constexpr int UrlIndicator = KeywordOverlay::FirstIndicator + 2;
// The style that the font command gives a selection; the plain text's own is style 0.
constexpr int SelectionFontStyle = 30;

} // namespace

CVantorpadView::Hooks CVantorpadView::defaultHooks() {
    CVantorpadView::Hooks h;
    h.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    // The options page's chooser: one list of the faces the editor can draw with.
    h.chooseFont = [](QWidget* parent, QFont& font) {
        FixedPitchFontDialog dialog(FixedPitchFontDialog::choiceOf(font), parent);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        font = FixedPitchFontDialog::fontOf(dialog.choice());
        return true;
    };
    h.pageSetup = [](QWidget* parent, QPrinter& printer) {
        QPageSetupDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    };
    h.printDialog = [](QWidget* parent, QPrinter& printer) {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    };
    h.printPreview = [](QWidget* parent, QPrinter& printer,
                        const std::function<void(QPrinter*)>& paint) {
        QPrintPreviewDialog dialog(&printer, parent);
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, paint);
        dialog.exec();
    };
    h.searchFailed = [](QWidget* mainWindow) {
        QApplication::beep();
        QApplication::alert(mainWindow, 500);
    };
    return h;
}

CVantorpadView::Hooks& CVantorpadView::hooks() {
    static Hooks h = defaultHooks();
    return h;
}

CVantorpadView::CVantorpadView(DocumentHost& host, CVantorpadDoc* document, QWidget* parent)
    : QsciScintilla(parent), m_host(host), m_document(document),
      m_keywords(new KeywordOverlay(this)) {
    installEditorAccessibility();
    setUtf8(true);
    // Lines keep the ends they have; pasted text takes the document's.
    SendScintilla(SCI_SETPASTECONVERTENDINGS, 1UL);
    SendScintilla(SCI_SETIMEINTERACTION, static_cast<unsigned long>(SC_IME_INLINE));
    // Typing and scrolling stay quick in very long lines and very large files.
    SendScintilla(SCI_SETLAYOUTCACHE, static_cast<unsigned long>(SC_CACHE_PAGE));
    SendScintilla(SCI_INDICSETSTYLE, UrlIndicator, long(INDIC_PLAIN));
    SendScintilla(SCI_INDICSETFORE, static_cast<unsigned long>(UrlIndicator),
                  palette().color(QPalette::Link));
    showKeptBytes(*this);
    setMarginWidth(1, 0);
    setAcceptDrops(true);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    document->setView(this);
    document->attachEditor(this);
    setOverwriteMode(!document->insertMode());
    connect(document, &CVantorpadDoc::textLoaded, m_keywords, &KeywordOverlay::clear);
    connect(document, &CVantorpadDoc::textLoaded, this, &CVantorpadView::detectLanguage);
    connect(document, &CVantorpadDoc::titleChanged, this, &CVantorpadView::detectLanguage);
    connect(this, &QsciScintilla::modificationChanged, document,
            &CVantorpadDoc::editorModificationChanged);
    connect(this, &QsciScintilla::textChanged, this, &CVantorpadView::textChangedBehind);
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int, int type) { noteModification(type); });
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this] {
        markVisibleUrls();
        reportCaretToAccessibility(this);
    });
    m_language = SyntaxLanguage::None;
    detectLanguage();
    ApplyEditorSettings();
}

CVantorpadView::~CVantorpadView() {
    if (m_document) {
        m_document->attachEditor(nullptr);
        m_document->setView(nullptr);
    }
}

CVantorpadView::QuietEdit::QuietEdit(CVantorpadView& view)
    : m_view(view), m_mask(view.sendLong(SCI_GETMODEVENTMASK)) {
    if (m_view.m_quietDepth++ == 0)
        m_view.m_quietChanged = false;
    constexpr long afterChange = SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT | SC_PERFORMED_USER |
                                 SC_PERFORMED_UNDO | SC_PERFORMED_REDO | SC_MULTISTEPUNDOREDO |
                                 SC_LASTSTEPINUNDOREDO | SC_MULTILINEUNDOREDO | SC_STARTACTION;
    m_view.SendScintilla(SCI_SETMODEVENTMASK,
                         static_cast<unsigned long>((m_mask & ~afterChange) | SC_MOD_BEFOREINSERT |
                                                    SC_MOD_BEFOREDELETE));
}

CVantorpadView::QuietEdit::~QuietEdit() {
    m_view.SendScintilla(SCI_SETMODEVENTMASK, static_cast<unsigned long>(m_mask));
    if (--m_view.m_quietDepth == 0 && m_view.m_quietChanged) {
        m_view.m_quietChanged = false;
        emit m_view.textChanged();
    }
}

void CVantorpadView::noteModification(int type) {
    if (m_quietDepth > 0 && (type & (SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE)) != 0)
        m_quietChanged = true;
}

void CVantorpadView::replaceRange(long from, long to, QByteArrayView utf8) {
    constexpr qsizetype LargeEdit = qsizetype(1) << 20;
    const QuietEdit quiet(*this);
    if (m_utf16Index && std::max<qsizetype>(to - from, utf8.size()) > LargeEdit) {
        SendScintilla(SCI_RELEASELINECHARACTERINDEX,
                      static_cast<unsigned long>(SC_LINECHARACTERINDEX_UTF16));
        m_utf16Index = false;
    }
    SendScintilla(SCI_BEGINUNDOACTION);
    SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(from), to);
    SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(utf8.size()), utf8.data());
    SendScintilla(SCI_ENDUNDOACTION);
}

void CVantorpadView::undo() {
    const QuietEdit quiet(*this);
    QsciScintilla::undo();
}

void CVantorpadView::redo() {
    const QuietEdit quiet(*this);
    QsciScintilla::redo();
}

void CVantorpadView::cut() {
    const QuietEdit quiet(*this);
    QsciScintilla::cut();
}

void CVantorpadView::paste() {
    const QuietEdit quiet(*this);
    QsciScintilla::paste();
}

void CVantorpadView::inputMethodEvent(QInputMethodEvent* event) {
    const QuietEdit quiet(*this);
    QsciScintilla::inputMethodEvent(event);
}

long CVantorpadView::sendLong(unsigned int message, unsigned long wParam, long lParam) const {
    return SendScintilla(message, wParam, lParam);
}

QByteArray CVantorpadView::editorText() const {
    const long length = sendLong(SCI_GETLENGTH);
    const char* text = reinterpret_cast<const char*>(sendLong(SCI_GETCHARACTERPOINTER));
    if (!m_displayBreaks.empty())
        return LongLines::joined(QByteArrayView(text, length), m_displayBreaks);
    return QByteArray(text, length);
}

void CVantorpadView::setReadOnly(bool readOnly) {
    // Display breaks keep their places only while nothing is edited.
    QsciScintilla::setReadOnly(readOnly || !m_displayBreaks.empty());
}

void CVantorpadView::loadEditorText(const QByteArray& file, LineEnd mainLineEnd) {
    const QuietEdit quiet(*this);
    const bool readOnly = isReadOnly() && m_displayBreaks.empty();
    m_displayBreaks.clear();
    const QByteArray utf8 = LongLines::cut(file, m_displayBreaks);
    QsciScintilla::setReadOnly(false);
    const int eol = mainLineEnd == LineEnd::CrLf ? SC_EOL_CRLF
                    : mainLineEnd == LineEnd::Cr ? SC_EOL_CR
                                                 : SC_EOL_LF;
    SendScintilla(SCI_SETEOLMODE, static_cast<unsigned long>(eol));
    // No undo step leads back to the old text, so the undo history need not keep a copy of the
    // new one (as large as the text itself).
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    SendScintilla(SCI_CLEARALL);
    // Room for the text and for what is typed next: Scintilla grows a buffer whose gap is too
    // small by copying all of it, which in a large text is more than a frame's time.
    SendScintilla(SCI_ALLOCATE, static_cast<unsigned long>(utf8.size() + utf8.size() / 8 + 4096));
    SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(utf8.size()), utf8.constData());
    SendScintilla(SCI_SETUNDOCOLLECTION, 1UL);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
    SendScintilla(SCI_GOTOPOS, 0UL);
    setReadOnly(readOnly);
    textChangedBehind();
    if (!m_displayBreaks.empty())
        Prompt::information(
            QStringLiteral("%1 MB を超える長い行がある為、表示の為に区切り、"
                           "読み取り専用で開きました。ファイルの内容は変わりません。")
                .arg(LongLines::Longest >> 20));
}

bool CVantorpadView::isTextModified() const {
    return sendLong(SCI_GETMODIFY) != 0;
}

void CVantorpadView::markTextUnmodified() {
    SendScintilla(SCI_SETSAVEPOINT);
}

void CVantorpadView::textChangedBehind() {
    m_urlFirstLine = m_urlLastLine = -1;
}

QString CVantorpadView::toPlainText() const {
    const long length = sendLong(SCI_GETLENGTH);
    const char* text = reinterpret_cast<const char*>(sendLong(SCI_GETCHARACTERPOINTER));
    return QString::fromUtf8(text, length);
}

long CVantorpadView::bytePosition(qsizetype position) const {
    if (!m_utf16Index) {
        // Built once, on the first question, and kept up to date by Scintilla from then on.
        SendScintilla(SCI_ALLOCATELINECHARACTERINDEX,
                      static_cast<unsigned long>(SC_LINECHARACTERINDEX_UTF16));
        m_utf16Index = true;
    }
    const long line = sendLong(SCI_LINEFROMINDEXPOSITION, static_cast<unsigned long>(position),
                               SC_LINECHARACTERINDEX_UTF16);
    const long lineStart = sendLong(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long lineIndex = sendLong(SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line),
                                    SC_LINECHARACTERINDEX_UTF16);
    return sendLong(SCI_POSITIONRELATIVECODEUNITS, static_cast<unsigned long>(lineStart),
                    long(position - lineIndex));
}

qsizetype CVantorpadView::textPosition(long bytePosition) const {
    if (!m_utf16Index) {
        SendScintilla(SCI_ALLOCATELINECHARACTERINDEX,
                      static_cast<unsigned long>(SC_LINECHARACTERINDEX_UTF16));
        m_utf16Index = true;
    }
    const long line = sendLong(SCI_LINEFROMPOSITION, static_cast<unsigned long>(bytePosition));
    const long lineStart = sendLong(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    return sendLong(SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line),
                    SC_LINECHARACTERINDEX_UTF16) +
           sendLong(SCI_COUNTCODEUNITS, static_cast<unsigned long>(lineStart), bytePosition);
}

qsizetype CVantorpadView::selectionStart() const {
    return textPosition(sendLong(SCI_GETSELECTIONSTART));
}

qsizetype CVantorpadView::selectionEnd() const {
    return textPosition(sendLong(SCI_GETSELECTIONEND));
}

qsizetype CVantorpadView::caretPosition() const {
    return textPosition(sendLong(SCI_GETCURRENTPOS));
}

void CVantorpadView::select(qsizetype anchor, qsizetype caret) {
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(bytePosition(anchor)),
                  bytePosition(caret));
}

void CVantorpadView::insertPlainText(const QString& text) {
    if (isReadOnly())
        return;
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (m_document && m_document->prevailingLineEnd() != LineEnd::Lf)
        lines.replace(u'\n', QString::fromLatin1(lineEndBytes(m_document->prevailingLineEnd())));
    const QByteArray utf8 = editorUtf8Of(lines);
    const QuietEdit quiet(*this);
    SendScintilla(SCI_BEGINUNDOACTION);
    SendScintilla(SCI_REPLACESEL, 0UL, utf8.constData());
    SendScintilla(SCI_ENDUNDOACTION);
}

bool CVantorpadView::canPaste() const {
    return sendLong(SCI_CANPASTE) != 0;
}

int CVantorpadView::caretLine() const {
    return int(sendLong(SCI_LINEFROMPOSITION,
                        static_cast<unsigned long>(sendLong(SCI_GETCURRENTPOS)))) +
           1;
}

QRect CVantorpadView::characterRect(qsizetype position) const {
    const long at = bytePosition(position);
    const int x = int(sendLong(SCI_POINTXFROMPOSITION, 0UL, at));
    const int y = int(sendLong(SCI_POINTYFROMPOSITION, 0UL, at));
    const long next = sendLong(SCI_POSITIONAFTER, static_cast<unsigned long>(at));
    const int right = next > at ? int(sendLong(SCI_POINTXFROMPOSITION, 0UL, next)) : x + 1;
    const int height = int(sendLong(SCI_TEXTHEIGHT, 0UL));
    return QRect(x, y, std::max(1, right - x), height);
}

QFont CVantorpadView::fontAt(qsizetype position) const {
    const int style =
        int(sendLong(SCI_GETSTYLEAT, static_cast<unsigned long>(bytePosition(position))));
    char face[128] = {};
    SendScintilla(SCI_STYLEGETFONT, static_cast<unsigned long>(style), face);
    QFont font(QString::fromUtf8(face));
    font.setPointSize(int(sendLong(SCI_STYLEGETSIZE, static_cast<unsigned long>(style))));
    font.setBold(sendLong(SCI_STYLEGETBOLD, static_cast<unsigned long>(style)) != 0);
    font.setItalic(sendLong(SCI_STYLEGETITALIC, static_cast<unsigned long>(style)) != 0);
    return font;
}

void CVantorpadView::ApplyEditorSettings() {
    const AppSettings& s = m_host.settings();
    const bool modified = m_document->isModified();
    // Detection, once on, stays on until the view is created again.
    if (s.AutoUrl != 0)
        m_urlDetection = true;
    setWrapMode(s.WordWrap != 0 ? WrapCharacter : WrapNone);
    applyColours();
    setTabWidth(s.TabCount > 0 ? s.TabCount : 8);
    applyViewOptions();
    removeFormats();
    m_document->setModified(modified);
    m_urlFirstLine = m_urlLastLine = -1;
    markVisibleUrls();
}

// The options page's paper and ink are the base colours; a language's colours go over them.
void CVantorpadView::applyColours() {
    const AppSettings& s = m_host.settings();
    const QFont font = editorFont(s);
    const QColor paper = colorFromColorRef(s.BackColor);
    const QColor ink = colorFromColorRef(s.ForeColor);
    setFont(font);
    setPaper(paper);
    setColor(ink);
    if (QsciLexer* current = lexer()) {
        paintLexer(*current, font, paper, ink);
        setLexer(current); // takes the new colours of every style
    } else {
        SendScintilla(SCI_STYLECLEARALL);
    }
    setCaretForegroundColor(ink);
    const auto blend = [&](int inkPart) {
        return QColor((paper.red() * (100 - inkPart) + ink.red() * inkPart) / 100,
                      (paper.green() * (100 - inkPart) + ink.green() * inkPart) / 100,
                      (paper.blue() * (100 - inkPart) + ink.blue() * inkPart) / 100);
    };
    setMarginsBackgroundColor(blend(8));
    setMarginsForegroundColor(blend(60));
    setMarginsFont(font);
    setFoldMarginColors(blend(8), blend(8));
    setCaretLineBackgroundColor(blend(8));
    setMatchedBraceBackgroundColor(blend(25));
    setMatchedBraceForegroundColor(ink);
    setWhitespaceForegroundColor(blend(40));
}

void CVantorpadView::applyViewOptions() {
    const AppSettings::EditorView& v = m_host.settings().View;
    setMarginLineNumbers(0, v.LineNumbers != 0);
    setMarginWidth(0, v.LineNumbers != 0 ? QStringLiteral("000000") : QString());
    if (v.LineNumbers == 0)
        setMarginWidth(0, 0);
    setCaretLineVisible(v.CaretLine != 0);
    setBraceMatching(v.BraceMatch != 0 ? SloppyBraceMatch : NoBraceMatch);
    setWhitespaceVisibility(v.ShowBlanks != 0 ? WsVisible : WsInvisible);
    setEolVisibility(v.ShowBlanks != 0);
    setFolding(v.Folding != 0 && lexer() ? BoxedTreeFoldStyle : NoFoldStyle, 2);
}

void CVantorpadView::setLanguage(SyntaxLanguage language) {
    if (language == m_language && (lexer() != nullptr) == (language != SyntaxLanguage::None))
        return;
    m_language = language;
    QsciLexer* old = lexer();
    setLexer(createLexer(language, this));
    delete old;
    applyColours();
    applyViewOptions();
}

void CVantorpadView::detectLanguage() {
    if (!m_document)
        return;
    const QString name =
        m_document->fileName().isEmpty() ? m_document->title() : m_document->fileName();
    // A lexer styles everything up to what is shown: a jump to the end of a very large text
    // would style all of it at once. Such a text opens plain; the "言語" menu still offers the
    // colours.
    constexpr long LargestColoured = 32L << 20;
    if (sendLong(SCI_GETLENGTH) > LargestColoured) {
        setLanguage(SyntaxLanguage::None);
        return;
    }
    const long lineEnd = sendLong(SCI_GETLINEENDPOSITION, 0UL);
    const char* text = reinterpret_cast<const char*>(
        sendLong(SCI_GETRANGEPOINTER, 0UL, std::min<long>(lineEnd, 200)));
    setLanguage(syntaxLanguageFor(name, QByteArrayView(text, std::min<long>(lineEnd, 200))));
}

void CVantorpadView::removeFormats() {
    if (m_selectionFonts) {
        SendScintilla(SCI_STARTSTYLING, 0UL, 0L);
        SendScintilla(SCI_SETSTYLING, static_cast<unsigned long>(sendLong(SCI_GETLENGTH)), 0L);
        m_selectionFonts = false;
    }
    m_keywords->clear();
}

bool CVantorpadView::handlesCommand(int command) {
    switch (command) {
    case CmdFileSave:
    case CmdFileSaveAs:
    case CmdSaveToServer:
    case CmdReload:
    case CmdKeywordColour:
    case EditorCommand::FormatFont:
    case CmdFilePageSetup:
    case CmdFilePrint:
    case CmdFilePrintDirect:
    case CmdFilePrintPreview:
    case CmdSpreadsheet:
    case EditorCommand::InsertDateTime:
    case EditorCommand::InsertSpecialString:
    case EditorCommand::JumpLine:
        return true;
    default:
        return isConversion(command);
    }
}

bool CVantorpadView::isCommandEnabled(int command) const {
    switch (command) {
    case EditorCommand::FormatFont:
        return hasSelection();
    case CmdSaveToServer:
        return m_document && m_document->canSaveToServer();
    case EditorCommand::InsertDateTime:
    case EditorCommand::InsertSpecialString:
        return !isReadOnly();
    default:
        return isConversion(command) ? conversionEnabled(command) : handlesCommand(command);
    }
}

bool CVantorpadView::runCommand(int command) {
    if (!m_document)
        return false;
    switch (command) {
    case CmdFileSave:
        m_document->OnFileSave();
        return true;
    case CmdFileSaveAs:
        m_document->OnFileSaveAs();
        return true;
    case CmdSaveToServer:
        m_document->OnFileSaveToServer();
        return true;
    case CmdReload:
        m_document->OnFileReload();
        return true;
    case CmdKeywordColour:
        OnKeywordColour();
        return true;
    case EditorCommand::FormatFont:
        OnFormatFont();
        return true;
    case CmdFilePageSetup:
        OnFilePageSetup();
        return true;
    case CmdFilePrint:
        OnFilePrint();
        return true;
    case CmdFilePrintDirect:
        OnFilePrintDirect();
        return true;
    case CmdFilePrintPreview:
        OnFilePrintPreview();
        return true;
    case CmdSpreadsheet:
        OnSpreadsheet();
        return true;
    case EditorCommand::InsertDateTime:
        OnInsertDateTime();
        return true;
    case EditorCommand::InsertSpecialString:
        OnInsertSpecialString();
        return true;
    case EditorCommand::JumpLine:
        OnJumpLine();
        return true;
    default:
        if (!isConversion(command))
            return false;
        runConversion(command);
        return true;
    }
}

void CVantorpadView::OnKeywordColour() {
    const bool modified = m_document->isModified();
    // Asked before the wait cursor and the mouse capture, so that the question can be answered.
    if (Prompt::question(QStringLiteral("キーワード色分けは時間がかかります。宜しいですか？")) !=
        PromptAnswer::Yes) {
        removeFormats();
        m_document->setModified(modified);
        return;
    }
    BusyGuard busy(this);
    const AppSettings& s = m_host.settings();
    const QStringList set1(s.Key1.begin(), s.Key1.end());
    const QStringList set2(s.Key2.begin(), s.Key2.end());
    const QList<KeywordMatch> matches = findKeywordMatches(toPlainText(), set1, set2);
    const QColor colours[2] = {colorFromColorRef(s.Keyword1), colorFromColorRef(s.Keyword2)};
    m_keywords->apply(matches, colours);
}

// Scintilla has no fonts for a stretch of text, only styles: the selection gets a style of its
// own with the chosen font, until the settings are applied again.
void CVantorpadView::OnFormatFont() {
    if (!hasSelection())
        return;
    QFont font = fontAt(selectionStart());
    if (!hooks().chooseFont(this, font))
        return;
    const unsigned long style = SelectionFontStyle;
    SendScintilla(SCI_STYLESETFONT, style, font.family().toUtf8().constData());
    SendScintilla(SCI_STYLESETSIZE, style, long(font.pointSize()));
    SendScintilla(SCI_STYLESETBOLD, style, long(font.bold()));
    SendScintilla(SCI_STYLESETITALIC, style, long(font.italic()));
    const long from = sendLong(SCI_GETSELECTIONSTART);
    SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(from), 0L);
    SendScintilla(SCI_SETSTYLING, static_cast<unsigned long>(sendLong(SCI_GETSELECTIONEND) - from),
                  long(SelectionFontStyle));
    m_selectionFonts = true;
}

void CVantorpadView::OnFilePageSetup() {
    QPrinter& printer = applicationPrinter();
    const auto mm = [](int twips) { return PrintMargins::toHundredthsMm(twips) / 100.0; };
    printer.setPageMargins(
        QMarginsF(mm(m_margins.left), mm(m_margins.top), mm(m_margins.right), mm(m_margins.bottom)),
        QPageLayout::Millimeter);
    if (!hooks().pageSetup(this, printer))
        return;
    const QMarginsF chosen = printer.pageLayout().margins(QPageLayout::Millimeter);
    const auto twips = [](qreal millimetres) {
        return PrintMargins::toTwips(qRound(millimetres * 100));
    };
    m_margins = {twips(chosen.left()), twips(chosen.top()), twips(chosen.right()),
                 twips(chosen.bottom())};
}

void CVantorpadView::print(QPrinter& printer) {
    const QString name =
        m_document->fileName().isEmpty() ? m_document->title() : m_document->fileName();
    const PrintJob job{name, printHeaderDate(QDateTime::currentDateTime()), m_margins};
    printDocument(printer, *this, job);
}

void CVantorpadView::OnFilePrint() {
    QPrinter& printer = applicationPrinter();
    if (hooks().printDialog(this, printer))
        print(printer);
}

void CVantorpadView::OnFilePrintDirect() {
    print(applicationPrinter());
}

void CVantorpadView::OnFilePrintPreview() {
    hooks().printPreview(this, applicationPrinter(),
                         [this](QPrinter* printer) { print(*printer); });
}

void CVantorpadView::OnSpreadsheet() {
    if (m_document->isModified()) {
        if (Prompt::question(QStringLiteral("スプレット表示する為には保存する必要が有ります。"
                                            "保存しますか？")) != PromptAnswer::Yes)
            return;
        // The spreadsheet opens whatever the save did: a failure has been reported, and the
        // editor keeps its text either way.
        static_cast<void>(m_document->serverFile() ? m_document->SaveToServer()
                                                   : m_document->DoSave(m_document->pathName()));
    }
    if (m_document->pathName().isEmpty())
        return; // a new document that was not given a name
    m_host.openInSpreadsheet(m_document->pathName(), m_document->readOnly());
}

void CVantorpadView::keyPressEvent(QKeyEvent* event) {
    const QuietEdit quiet(*this);
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        m_document->setInsertMode(!m_document->insertMode());
        setOverwriteMode(!m_document->insertMode());
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & Qt::ShiftModifier)) {
        // Every line break is one of the document's line ends.
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                        event->text());
        QsciScintilla::keyPressEvent(&plain);
        return;
    }
    QsciScintilla::keyPressEvent(event);
}

QString CVantorpadView::urlAt(const QPoint& viewportPos) const {
    const long at = sendLong(SCI_CHARPOSITIONFROMPOINTCLOSE,
                             static_cast<unsigned long>(viewportPos.x()), viewportPos.y());
    if (at < 0)
        return {};
    const long line = sendLong(SCI_LINEFROMPOSITION, static_cast<unsigned long>(at));
    const long lineStart = sendLong(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const QString text = this->text(int(line));
    const qsizetype offset = textPosition(at) - textPosition(lineStart);
    if (offset >= text.size())
        return {};
    const UrlSpan span = findUrlAt(text, offset);
    if (!span.isValid())
        return {};
    return text.mid(span.start, span.length);
}

void CVantorpadView::markVisibleUrls() {
    if (!m_urlDetection)
        return;
    const int first = int(sendLong(SCI_DOCLINEFROMVISIBLE,
                                   static_cast<unsigned long>(sendLong(SCI_GETFIRSTVISIBLELINE))));
    const int last = first + int(sendLong(SCI_LINESONSCREEN)) + 1;
    if (first == m_urlFirstLine && last == m_urlLastLine)
        return;
    m_urlFirstLine = first;
    m_urlLastLine = last;
    SendScintilla(SCI_SETINDICATORCURRENT, UrlIndicator);
    const long from = sendLong(SCI_POSITIONFROMLINE, static_cast<unsigned long>(first));
    long to = sendLong(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(last));
    if (to < from)
        to = sendLong(SCI_GETLENGTH);
    SendScintilla(SCI_INDICATORCLEARRANGE, static_cast<unsigned long>(from), to - from);
    for (int line = first; line <= last && line < lines(); ++line) {
        const long start = sendLong(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
        if (sendLong(SCI_LINELENGTH, static_cast<unsigned long>(line)) > 100000)
            continue; // a line this long is data, not prose with links
        const QString text = this->text(line);
        const QList<UrlSpan> urls = findUrls(text);
        if (urls.isEmpty())
            continue;
        for (const UrlSpan& url : urls) {
            // URLs are ASCII: their byte offsets follow from the text before them.
            const long begin = start + long(text.left(url.start).toUtf8().size());
            SendScintilla(SCI_INDICATORFILLRANGE, static_cast<unsigned long>(begin),
                          long(url.length));
        }
    }
}

void CVantorpadView::mouseMoveEvent(QMouseEvent* event) {
    QsciScintilla::mouseMoveEvent(event);
    if (!m_urlDetection)
        return;
    const bool overLink =
        event->buttons() == Qt::NoButton && !urlAt(event->position().toPoint()).isEmpty();
    if (overLink == m_overLink)
        return;
    m_overLink = overLink;
    viewport()->setCursor(overLink ? QCursor(Qt::PointingHandCursor) : QCursor(Qt::IBeamCursor));
}

void CVantorpadView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (m_urlDetection && event->button() == Qt::LeftButton) {
        const QString url = urlAt(event->position().toPoint());
        if (!url.isEmpty()) {
            openLink(linkTarget(url));
            event->accept();
            return;
        }
    }
    QsciScintilla::mouseDoubleClickEvent(event);
}

void CVantorpadView::openLink(const QUrl& target) {
    if (!opensWithoutQuestion(target) &&
        Prompt::question(QStringLiteral("次のリンクを開きますか？\n%1").arg(target.toString())) !=
            PromptAnswer::Yes)
        return;
    hooks().openUrl(target);
}

void CVantorpadView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    QsciScintilla::dragEnterEvent(event);
}

bool CVantorpadView::canInsertFromMimeData(const QMimeData* source) const {
    return !source->hasUrls() && QsciScintilla::canInsertFromMimeData(source);
}
