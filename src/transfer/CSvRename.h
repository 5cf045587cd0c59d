#pragma once

#include <QDialog>

class QLineEdit;

// "ファイル名変更": asks for the new name of a server file or directory. The caller gives the
// old name, reads the new one after OK and renames on the server itself. A name left as it was
// closes the dialog as Cancel; a change of letter case alone is a rename.
class CSvRename : public QDialog {
    Q_OBJECT
public:
    explicit CSvRename(const QString& oldName, QWidget* parent = nullptr);

    QString oldName() const { return m_oldName; }
    QString newName() const { return m_newName; }

    void accept() override;

private:
    QString m_oldName;
    QString m_newName;
    QLineEdit* m_newEdit = nullptr;
};
