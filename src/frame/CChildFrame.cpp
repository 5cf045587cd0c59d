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
    setWindowTitle(document->title());
    connect(document, &CVantorpadDoc::titleChanged, this, &QWidget::setWindowTitle);
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
