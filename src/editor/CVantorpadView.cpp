#include "editor/CVantorpadView.h"

#include "commands/Command.h"
#include "commands/EditorCommands.h"
#include "doc/CVantorpadDoc.h"
#include "doc/DocumentHost.h"
#include "editor/KeywordOverlay.h"
#include "editor/UrlDetector.h"
#include "platform/BusyGuard.h"
#include "platform/Prompt.h"
#include "settings/AppSettings.h"
#include "widgets/EditorAppearance.h"
#include "widgets/FixedPitchFontDialog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextBlock>
#include <QUrl>

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
    : QPlainTextEdit(parent), m_host(host), m_document(document),
      m_keywords(new KeywordOverlay(document->textDocument())) {
    setDocument(document->textDocument());
    document->setView(this);
    setAcceptDrops(true);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setOverwriteMode(!document->insertMode());
    connect(document, &CVantorpadDoc::textLoaded, m_keywords, &KeywordOverlay::clear);
    connect(this->document(), &QTextDocument::contentsChange, this, [this] {
        if (m_searchedTextValid) {
            m_searchedTextValid = false;
            m_searchedText.clear();
        }
    });
    ApplyEditorSettings();
}

CVantorpadView::~CVantorpadView() {
    if (m_document)
        m_document->setView(nullptr);
}

void CVantorpadView::ApplyEditorSettings() {
    const AppSettings& s = m_host.settings();
    const bool modified = m_document->isModified();
    const bool updating = updatesEnabled();
    setUpdatesEnabled(false);
    // Detection, once on, stays on until the view is created again.
    if (s.AutoUrl != 0)
        m_urlDetection = true;
    setLineWrapMode(s.WordWrap != 0 ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    const QFont font = editorFont(s);
    setFont(font);
    const int tabCount = s.TabCount > 0 ? s.TabCount : 8;
    setTabStopDistance(tabCount * QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')));
    QPalette p = palette();
    p.setColor(QPalette::Base, colorFromColorRef(s.BackColor));
    p.setColor(QPalette::Text, colorFromColorRef(s.ForeColor));
    setPalette(p);
    removeFormats();
    m_document->setModified(modified);
    setUpdatesEnabled(updating);
}

void CVantorpadView::removeFormats() {
    if (m_selectionFonts) {
        QTextCursor all(document());
        all.select(QTextCursor::Document);
        all.setCharFormat(QTextCharFormat());
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
        return textCursor().hasSelection();
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
    const QList<KeywordMatch> matches = findKeywordMatches(document()->toRawText(), set1, set2);
    const QColor colours[2] = {colorFromColorRef(s.Keyword1), colorFromColorRef(s.Keyword2)};
    m_keywords->apply(matches, colours);
    m_document->setModified(modified);
}

void CVantorpadView::OnFormatFont() {
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return;
    QFont font = cursor.charFormat().font();
    if (!hooks().chooseFont(this, font))
        return;
    QTextCharFormat format;
    format.setFont(font);
    cursor.mergeCharFormat(format);
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
    const PrintJob job{name, printHeaderDate(QDateTime::currentDateTime()), m_margins,
                       colorFromColorRef(m_host.settings().ForeColor)};
    printDocument(printer, *document(), m_keywords, job);
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
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        m_document->setInsertMode(!m_document->insertMode());
        setOverwriteMode(!m_document->insertMode());
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & Qt::ShiftModifier)) {
        // A line break inside a line cannot be written to a file: always start a new line.
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                        event->text());
        QPlainTextEdit::keyPressEvent(&plain);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

QString CVantorpadView::urlAt(const QPoint& viewportPos, int* start) const {
    const QTextCursor cursor = cursorForPosition(viewportPos);
    const QTextBlock block = cursor.block();
    if (!block.isValid())
        return {};
    // cursorForPosition gives the nearest gap; the character under the pointer is the one
    // after it unless the pointer is past the middle of the previous one.
    const QRect caret = cursorRect(cursor);
    int offset = cursor.positionInBlock();
    if (viewportPos.x() < caret.left() && offset > 0)
        --offset;
    const QString text = block.text();
    if (offset >= text.size())
        return {};
    const UrlSpan span = findUrlAt(text, offset);
    if (!span.isValid())
        return {};
    if (start)
        *start = block.position() + int(span.start);
    return text.mid(span.start, span.length);
}

void CVantorpadView::mouseMoveEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseMoveEvent(event);
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
    QPlainTextEdit::mouseDoubleClickEvent(event);
}

void CVantorpadView::openLink(const QUrl& target) {
    if (!opensWithoutQuestion(target) &&
        Prompt::question(QStringLiteral("次のリンクを開きますか？\n%1").arg(target.toString())) !=
            PromptAnswer::Yes)
        return;
    hooks().openUrl(target);
}

void CVantorpadView::paintEvent(QPaintEvent* event) {
    QPlainTextEdit::paintEvent(event);
    if (m_urlDetection)
        drawUrlUnderlines();
}

void CVantorpadView::drawUrlUnderlines() {
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Link));
    const QPointF offset = contentOffset();
    const int height = viewport()->height();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF box = blockBoundingGeometry(block).translated(offset);
        if (box.top() > height)
            break;
        const QList<UrlSpan> urls = findUrls(block.text());
        if (urls.isEmpty() || !block.layout())
            continue;
        const QTextLayout* layout = block.layout();
        for (const UrlSpan& url : urls) {
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                const int from = std::max<int>(int(url.start), line.textStart());
                const int to = std::min<int>(int(url.start + url.length),
                                             line.textStart() + line.textLength());
                if (from >= to)
                    continue;
                const qreal y = box.top() + line.y() + line.ascent() + 1.5;
                painter.drawLine(QPointF(box.left() + line.cursorToX(from), y),
                                 QPointF(box.left() + line.cursorToX(to), y));
            }
        }
    }
}

bool CVantorpadView::canInsertFromMimeData(const QMimeData* source) const {
    return !source->hasUrls() && QPlainTextEdit::canInsertFromMimeData(source);
}
