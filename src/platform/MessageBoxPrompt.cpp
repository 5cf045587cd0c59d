#include "platform/MessageBoxPrompt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>

namespace {

QMessageBox::Icon toIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Error:
        return QMessageBox::Critical;
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toButtons(PromptButtons buttons) {
    switch (buttons) {
    case PromptButtons::Ok:
        return QMessageBox::Ok;
    case PromptButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case PromptButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

PromptAnswer toAnswer(int button) {
    switch (button) {
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    case QMessageBox::Cancel:
        return PromptAnswer::Cancel;
    default:
        return PromptAnswer::Ok;
    }
}

// The buttons speak the program's language whatever translation Qt has loaded: questions name
// them ("はい：…").
void nameButtons(QMessageBox& box) {
    const std::pair<QMessageBox::StandardButton, const char16_t*> names[] = {
        {QMessageBox::Yes, u"はい(&Y)"},
        {QMessageBox::No, u"いいえ(&N)"},
        {QMessageBox::Cancel, u"キャンセル"},
    };
    for (const auto& [which, name] : names) {
        if (QAbstractButton* button = box.button(which))
            button->setText(QString::fromUtf16(name));
    }
}

// A message must be readable and clickable even while a long operation holds the wait cursor
// and the mouse.
PromptAnswer run(QMessageBox& box) {
    QPointer<QWidget> grabber = QWidget::mouseGrabber();
    if (grabber)
        grabber->releaseMouse();
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    int result = box.exec();
    QApplication::restoreOverrideCursor();
    if (grabber)
        grabber->grabMouse();
    return toAnswer(result);
}

} // namespace

PromptAnswer MessageBoxPrompt::ask(const QString& text, PromptIcon icon, PromptButtons buttons) {
    QMessageBox box(toIcon(icon), QApplication::applicationName(), text, toButtons(buttons),
                    QApplication::activeWindow());
    nameButtons(box);
    return run(box);
}

PromptAnswer MessageBoxPrompt::choose(const QString& text, PromptIcon icon,
                                      const PromptChoices& choices) {
    QMessageBox box(toIcon(icon), QApplication::applicationName(), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    QApplication::activeWindow());
    // The buttons say what they do; the style's yes/no pictures would say something else.
    const std::pair<QMessageBox::StandardButton, QString> labels[] = {
        {QMessageBox::Yes, choices.yes},
        {QMessageBox::No, choices.no},
        {QMessageBox::Cancel, choices.cancel}};
    for (const auto& [which, label] : labels) {
        box.button(which)->setText(label);
        box.button(which)->setIcon(QIcon());
    }
    if (!choices.ok.isEmpty())
        box.addButton(QMessageBox::Ok)->setText(choices.ok);
    // Enter, pressed out of habit, takes the way that does nothing, as Escape does.
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    return run(box);
}

std::optional<QString> MessageBoxPrompt::askSecret(const QString& text) {
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(QCoreApplication::applicationName());
    dialog.setLabelText(text);
    dialog.setTextEchoMode(QLineEdit::Password);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    QApplication::restoreOverrideCursor();
    if (!accepted)
        return std::nullopt;
    return dialog.textValue();
}
