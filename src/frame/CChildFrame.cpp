#include "frame/CChildFrame.h"

#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"

#include <QCloseEvent>

CChildFrame::CChildFrame(CVantorpadDoc* document, CVantorpadView* view, QWidget* parent)
    : QMdiSubWindow(parent), m_document(document), m_view(view) {
    document->setParent(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWidget(view);
    // "[*]" is where the window system marks a window whose document has unsaved changes.
    const auto showTitle = [this](const QString& title) {
        setWindowTitle(title + QStringLiteral("[*]"));
    };
    showTitle(document->title());
    setWindowModified(document->isModified());
    connect(document, &CVantorpadDoc::titleChanged, this, showTitle);
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
