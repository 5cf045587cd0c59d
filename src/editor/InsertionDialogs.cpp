#include "editor/InsertionDialogs.h"

#include "editor/CharacterConversions.h"
#include "editor/Insertions.h"
#include "platform/Prompt.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QDialogButtonBox* okCancel(QDialog* dialog, const QString& cancelText) {
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    box->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    box->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("Ok"));
    box->button(QDialogButtonBox::Cancel)->setText(cancelText);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}

} // namespace

CDateDialog::CDateDialog(Mode mode, const QStringList& entries, QWidget* parent)
    : QDialog(parent), m_mode(mode) {
    setWindowTitle(mode == DateTime ? QStringLiteral("日付＆時刻の挿入")
                                    : QStringLiteral("特定文字列の挿入"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("利用できる書式(&A)"), this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("Entries"));
    m_list->addItems(entries);
    m_list->setCurrentRow(entries.isEmpty() ? -1 : 0);
    label->setBuddy(m_list);
    layout->addWidget(label);
    layout->addWidget(m_list, 1);
    layout->addWidget(okCancel(this, QStringLiteral("Cancel")));
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CDateDialog::accept);
    resize(320, 300);
}

void CDateDialog::accept() {
    const QListWidgetItem* item = m_list->currentItem();
    m_chosen = item ? item->text() : QString();
    QDialog::accept();
}

CJumpLine::CJumpLine(int currentLine, QWidget* parent) : QDialog(parent), m_line(currentLine) {
    setWindowTitle(QStringLiteral("指定行へジャンプ"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_edit = new QLineEdit(QString::number(currentLine), this);
    m_edit->setObjectName(QStringLiteral("Line"));
    m_edit->selectAll();
    form->addRow(QStringLiteral("行番号"), m_edit);
    layout->addLayout(form);
    layout->addWidget(okCancel(this, QStringLiteral("ｷｬﾝｾﾙ")));
}

void CJumpLine::accept() {
    const std::optional<int> target = Insertions::jumpTarget(m_edit->text());
    if (!target) {
        Prompt::warning(Insertions::jumpRangeMessage());
        m_edit->setFocus();
        m_edit->selectAll();
        return;
    }
    m_line = *target;
    QDialog::accept();
}

CKeyWordSet::CKeyWordSet(const Keywords& set1, const Keywords& set2, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("キーワード設定"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("キーワード１"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("キーワード２"), this), 0, 2);
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::VLine);
    grid->addWidget(frame, 0, 1, 11, 1);
    for (int i = 0; i < 20; ++i) {
        auto* edit = new QLineEdit((i < 10 ? set1 : set2)[std::size_t(i % 10)], this);
        edit->setObjectName(QStringLiteral("Key%1_%2").arg(i / 10 + 1).arg(i % 10));
        // Capitals as the user types, the caret left where it was.
        connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
            const QString upper =
                CharacterConversions::convert(text, CharacterConversions::Conversion::Upper);
            if (upper != text) {
                const int caret = edit->cursorPosition();
                edit->setText(upper);
                edit->setCursorPosition(caret);
            }
        });
        grid->addWidget(edit, 1 + i % 10, i < 10 ? 0 : 2);
        m_edits[std::size_t(i)] = edit;
    }
    layout->addLayout(grid);
    layout->addWidget(okCancel(this, QStringLiteral("閉じる")));
}

CKeyWordSet::Keywords CKeyWordSet::set1() const {
    Keywords keys;
    for (std::size_t i = 0; i < 10; ++i)
        keys[i] = m_edits[i]->text();
    return keys;
}

CKeyWordSet::Keywords CKeyWordSet::set2() const {
    Keywords keys;
    for (std::size_t i = 0; i < 10; ++i)
        keys[i] = m_edits[10 + i]->text();
    return keys;
}
