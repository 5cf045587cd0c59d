#include "compare/CompareWindow.h"

#include "compare/CompareView.h"
#include "doc/CVantorpadDoc.h"
#include "platform/BusyGuard.h"
#include "platform/Prompt.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

// Where line `line` of `text` (split into `lines`) starts; the text's end past its last line.
qsizetype lineOffset(const QByteArray& text, const std::vector<QByteArrayView>& lines, int line) {
    return size_t(line) < lines.size() ? lines[size_t(line)].data() - text.constData()
                                       : text.size();
}

QByteArray linesOf(const QByteArray& text, int first, int count) {
    const std::vector<QByteArrayView> lines = TextComparison::splitLines(text);
    const qsizetype start = lineOffset(text, lines, first);
    return text.mid(start, lineOffset(text, lines, first + count) - start);
}

} // namespace

bool CompareWindow::open(CVantorpadDoc& document, const QString& otherPath, VersionSource source,
                         bool temporary, const AppSettings& settings, QWidget* parent) {
    const Result<EditorText> other = [&] {
        BusyGuard busy(parent);
        return document.readVersion(otherPath);
    }();
    if (!other.ok()) {
        Prompt::error(other.message());
        if (temporary)
            QFile::remove(otherPath);
        return false;
    }
    const QString name = source == VersionSource::Server
                             ? document.fileName()
                             : QDir::toNativeSeparators(QFileInfo(otherPath).absoluteFilePath());
    auto* window = new CompareWindow(document, other->utf8, source, name, settings, parent);
    if (temporary)
        window->setTemporaryFile(otherPath);
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

CompareWindow::CompareWindow(CVantorpadDoc& document, QByteArray otherText, VersionSource source,
                             const QString& otherName, const AppSettings& settings, QWidget* parent)
    : QWidget(parent, Qt::Window), m_document(&document), m_source(source),
      m_otherText(std::move(otherText)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("CompareWindow"));
    setWindowTitle(QStringLiteral("比較 - %1").arg(document.title()));
    m_left = new CompareView(settings, this);
    m_right = new CompareView(settings, this);
    m_left->setObjectName(QStringLiteral("DocumentSide"));
    m_right->setObjectName(QStringLiteral("OtherSide"));
    buildWindow(otherName);
    // A closed document leaves nothing to compare.
    connect(&document, &QObject::destroyed, this, &QWidget::close);
    resize(1000, 700);
    m_right->showText(m_otherText);
    compareAgain();
}

CompareWindow::~CompareWindow() {
    removeTemporaryFile();
}

void CompareWindow::closeEvent(QCloseEvent* event) {
    removeTemporaryFile();
    QWidget::closeEvent(event);
}

void CompareWindow::removeTemporaryFile() {
    if (!m_temporaryFile.isEmpty())
        QFile::remove(m_temporaryFile);
    m_temporaryFile.clear();
}

void CompareWindow::buildWindow(const QString& otherName) {
    const bool server = m_source == VersionSource::Server;
    m_previous = new QPushButton(QStringLiteral("前の変更"), this);
    m_next = new QPushButton(QStringLiteral("次の変更"), this);
    m_takeOver = new QPushButton(server ? QStringLiteral("サーバ側を取り込む")
                                        : QStringLiteral("ディスク側を取り込む"),
                                 this);
    auto* again = new QPushButton(QStringLiteral("再比較"), this);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    m_takeOver->setObjectName(QStringLiteral("TakeOver"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("CompareStatus"));
    connect(m_previous, &QPushButton::clicked, this, &CompareWindow::previousChange);
    connect(m_next, &QPushButton::clicked, this, &CompareWindow::nextChange);
    connect(m_takeOver, &QPushButton::clicked, this, &CompareWindow::takeOverChange);
    connect(again, &QPushButton::clicked, this, &CompareWindow::compareAgain);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    // The keys work wherever the focus is in the window.
    const auto shortcut = [this](QKeySequence keys, void (CompareWindow::*slot)()) {
        auto* action = new QAction(this);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    };
    shortcut(QKeySequence(Qt::Key_F8), &CompareWindow::nextChange);
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F8), &CompareWindow::previousChange);
    m_next->setToolTip(QStringLiteral("F8"));
    m_previous->setToolTip(QStringLiteral("Shift+F8"));

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {m_previous, m_next, m_takeOver, again})
        buttons->addWidget(b);
    buttons->addWidget(m_status, 1);
    buttons->addWidget(close);

    const auto side = [this](const QString& label, CompareView* view) {
        auto* box = new QWidget(this);
        auto* layout = new QVBoxLayout(box);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(new QLabel(label, box));
        layout->addWidget(view, 1);
        return box;
    };
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(side(QStringLiteral("編集中の文書: %1").arg(m_document->title()), m_left));
    splitter->addWidget(side((server ? QStringLiteral("サーバ上のファイル: %1")
                                     : QStringLiteral("ディスク上のファイル: %1"))
                                 .arg(otherName),
                             m_right));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

    // The scroll bar tells of dragging, Scintilla of the wheel and the keys.
    for (CompareView* view : {m_left, m_right}) {
        connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this,
                [this, view] { follow(view); });
        connect(view, &QsciScintillaBase::SCN_UPDATEUI, this, [this, view](int updated) {
            if (updated & QsciScintillaBase::SC_UPDATE_V_SCROLL)
                follow(view);
        });
    }
}

void CompareWindow::compareAgain() {
    if (!m_document)
        return;
    {
        BusyGuard busy(this);
        m_documentText = m_document->editorText();
        m_comparison = TextComparison::compare(m_documentText, m_otherText);
        m_left->showText(m_documentText);
        m_right->clearMarks();
        markChanges();
    }
    showChange(m_comparison.identical()
                   ? -1
                   : std::max(0, std::min(m_current, int(m_comparison.changes().size()) - 1)));
}

void CompareWindow::markChanges() {
    for (const TextChange& c : m_comparison.changes()) {
        m_left->markChange(c.leftFirst, c.leftCount);
        m_right->markChange(c.rightFirst, c.rightCount);
        for (const ChangedLinePair& pair : c.pairs) {
            m_left->markCharacters(pair.leftLine, pair.left);
            m_right->markCharacters(pair.rightLine, pair.right);
        }
    }
}

void CompareWindow::showChange(int index) {
    m_current = index;
    if (index >= 0) {
        const TextChange& c = m_comparison.changes()[size_t(index)];
        m_left->markCurrent(c.leftFirst, c.leftCount);
        m_right->markCurrent(c.rightFirst, c.rightCount);
        // A few lines of what comes before stay in sight.
        m_following = true;
        m_left->setTopLine(c.leftFirst - 3);
        m_right->setTopLine(c.rightFirst - 3);
        m_following = false;
        m_left->setCursorPosition(c.leftFirst, 0);
        m_right->setCursorPosition(c.rightFirst, 0);
    }
    updateState();
}

void CompareWindow::nextChange() {
    if (m_current + 1 < int(m_comparison.changes().size()))
        showChange(m_current + 1);
}

void CompareWindow::previousChange() {
    if (m_current > 0)
        showChange(m_current - 1);
}

void CompareWindow::follow(CompareView* from) {
    if (m_following)
        return;
    m_following = true;
    if (from == m_left)
        m_right->setTopLine(m_comparison.rightLineFor(m_left->topLine()));
    else
        m_left->setTopLine(m_comparison.leftLineFor(m_right->topLine()));
    m_following = false;
}

QsciScintilla* CompareWindow::documentEditor() const {
    return m_document ? qobject_cast<QsciScintilla*>(m_document->view()) : nullptr;
}

bool CompareWindow::canTakeOver() const {
    const QsciScintilla* editor = documentEditor();
    return m_current >= 0 && editor && !editor->isReadOnly() && !m_document->readOnly();
}

void CompareWindow::takeOverChange() {
    if (!canTakeOver())
        return;
    QsciScintilla* editor = documentEditor();
    // Line numbers are those of the text compared: edits made since would be overwritten.
    if (m_document->editorText() != m_documentText) {
        compareAgain();
        Prompt::information(QStringLiteral(
            "比較の後に文書が変更された為、比較し直しました。もう一度選んでください。"));
        return;
    }
    const TextChange& c = m_comparison.changes()[size_t(m_current)];
    const std::vector<QByteArrayView> lines = TextComparison::splitLines(m_documentText);
    const qsizetype start = lineOffset(m_documentText, lines, c.leftFirst);
    const qsizetype end = lineOffset(m_documentText, lines, c.leftFirst + c.leftCount);
    const QByteArray replacement = linesOf(m_otherText, c.rightFirst, c.rightCount);
    editor->SendScintilla(QsciScintillaBase::SCI_BEGINUNDOACTION);
    editor->SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, static_cast<unsigned long>(start),
                          static_cast<long>(end));
    editor->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET,
                          static_cast<unsigned long>(replacement.size()), replacement.constData());
    editor->SendScintilla(QsciScintillaBase::SCI_ENDUNDOACTION);
    compareAgain(); // the change is gone; the one after it is now at the same place
}

void CompareWindow::updateState() {
    const int count = int(m_comparison.changes().size());
    QString text = count == 0 ? QStringLiteral("違いはありません。")
                              : QStringLiteral("変更 %1 / %2").arg(m_current + 1).arg(count);
    if (m_comparison.approximate())
        text += QStringLiteral("  (違いが大き過ぎる為、一部は行ごとに比較していません)");
    m_status->setText(text);
    m_previous->setEnabled(m_current > 0);
    m_next->setEnabled(m_current + 1 < count);
    m_takeOver->setEnabled(canTakeOver());
}
