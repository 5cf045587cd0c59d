#include "frame/CChildFrame.h"

#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"

#include <QCloseEvent>

namespace {
const QString NotOnServerMark = QStringLiteral(" (サーバ未保存)");
} // namespace

CChildFrame::CChildFrame(CVantorpadDoc* document, CVantorpadView* view, QWidget* parent)
    : QMdiSubWindow(parent), m_document(document), m_view(view) {
    document->setParent(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWidget(view);
    // "[*]" is where the window system marks a window whose document has unsaved changes; a
    // server document whose text has not reached its server says so in the title, and with it
    // in its switch-bar tab.
    const auto showTitle = [this] {
        const QString pending = m_document->serverCopyPending() ? NotOnServerMark : QString();
        setWindowTitle(m_document->title() + pending + QStringLiteral("[*]"));
    };
    showTitle();
    setWindowModified(document->isModified());
    connect(document, &CVantorpadDoc::titleChanged, this, showTitle);
    connect(document, &CVantorpadDoc::serverCopyPendingChanged, this, showTitle);
    connect(document, &CVantorpadDoc::modifiedChanged, this, &QWidget::setWindowModified);
}

CChildFrame::~CChildFrame() = default;

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (m_closed) {
        QMdiSubWindow::closeEvent(event);
        return;
    }
    if (!m_document->SaveModified()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
    if (!event->isAccepted())
        return;
    m_closed = true;
    m_document->OnCloseDocument();
}
