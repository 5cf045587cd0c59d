#pragma once

#include "restore/RecoveryOffer.h"

#include <QDialog>

class QTreeWidget;

// "復元": the documents a run that ended abnormally left unsaved, with the buttons that restore
// all of them, the selected ones, or discard them. Closing the dialog decides later.
class RecoveryDialog : public QDialog {
    Q_OBJECT
public:
    explicit RecoveryDialog(const QList<RecoveryOffer>& offers, QWidget* parent = nullptr);

    RecoveryAnswer answer() const { return m_answer; }
    QTreeWidget* list() const { return m_list; }

    // Runs the dialog modally and returns what the user chose.
    static RecoveryAnswer ask(const QList<RecoveryOffer>& offers, QWidget* parent);

private:
    void finish(RecoveryChoice choice);

    QTreeWidget* m_list;
    RecoveryAnswer m_answer;
};
