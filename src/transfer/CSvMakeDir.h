#pragma once

#include <QDialog>
#include <QStringList>

class QLineEdit;

// "ディレクトリ作成": asks for the name of a new directory. The caller gives the names of the
// directories its list shows (DirectoryNames of its listing), reads the name after OK and
// creates the directory itself. A name equal to one of them, letter case included, is refused
// and the dialog stays open; a name equal to a file's is accepted.
class CSvMakeDir : public QDialog {
    Q_OBJECT
public:
    explicit CSvMakeDir(const QStringList& existingDirectories, QWidget* parent = nullptr);

    QString name() const { return m_name; }

    void accept() override;

private:
    QStringList m_existing;
    QString m_name;
    QLineEdit* m_edit = nullptr;
};
