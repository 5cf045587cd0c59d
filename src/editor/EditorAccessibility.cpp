#include "editor/EditorAccessibility.h"

#include "editor/CVantorpadView.h"

#include <QAccessibleWidget>

namespace {

class EditorAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit EditorAccessible(CVantorpadView* view)
        : QAccessibleWidget(view, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = !view()->isReadOnly();
        s.readOnly = view()->isReadOnly();
        s.multiLine = true;
        s.selectableText = true;
        return s;
    }

    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index == 0 && view()->hasSelection()) {
            *start = int(view()->selectionStart());
            *end = int(view()->selectionEnd());
        }
    }
    int selectionCount() const override { return view()->hasSelection() ? 1 : 0; }
    void addSelection(int start, int end) override { view()->select(start, end); }
    void removeSelection(int) override {
        const qsizetype caret = view()->caretPosition();
        view()->select(caret, caret);
    }
    void setSelection(int, int start, int end) override { view()->select(start, end); }
    int cursorPosition() const override { return int(view()->caretPosition()); }
    void setCursorPosition(int position) override { view()->select(position, position); }

    QString text(int start, int end) const override {
        const long from = view()->bytePosition(start);
        const long to = view()->bytePosition(end);
        if (to <= from)
            return {};
        const char* bytes = reinterpret_cast<const char*>(view()->SendScintilla(
            QsciScintillaBase::SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), to - from));
        return QString::fromUtf8(bytes, to - from);
    }
    int characterCount() const override {
        return int(view()->textPosition(view()->SendScintilla(QsciScintillaBase::SCI_GETLENGTH)));
    }
    QRect characterRect(int offset) const override {
        const QRect box = view()->characterRect(offset);
        return box.translated(view()->viewport()->mapToGlobal(QPoint(0, 0)));
    }
    int offsetAtPoint(const QPoint& point) const override {
        const QPoint at = view()->viewport()->mapFromGlobal(point);
        const long position = view()->SendScintilla(QsciScintillaBase::SCI_CHARPOSITIONFROMPOINT,
                                                    static_cast<unsigned long>(at.x()), at.y());
        return int(view()->textPosition(position));
    }
    void scrollToSubstring(int start, int end) override {
        view()->SendScintilla(QsciScintillaBase::SCI_SCROLLRANGE,
                              static_cast<unsigned long>(view()->bytePosition(end)),
                              view()->bytePosition(start));
    }
    QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return {};
    }
    QString text(QAccessible::Text t) const override { return QAccessibleWidget::text(t); }

private:
    CVantorpadView* view() const { return static_cast<CVantorpadView*>(widget()); }
};

QAccessibleInterface* editorAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(CVantorpadView::staticMetaObject.className()) && object)
        return new EditorAccessible(static_cast<CVantorpadView*>(object));
    return nullptr;
}

} // namespace

void installEditorAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(editorAccessible);
        return true;
    }();
    static_cast<void>(installed);
}

void reportCaretToAccessibility(CVantorpadView* view) {
    if (!QAccessible::isActive())
        return;
    QAccessibleTextCursorEvent event(view, int(view->caretPosition()));
    QAccessible::updateAccessibility(&event);
}
