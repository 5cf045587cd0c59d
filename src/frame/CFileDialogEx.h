#pragma once

#include <QFileDialog>

class QCheckBox;
class QComboBox;
class QLabel;

// The program's file-open dialog: Qt's own file dialog with, under the file-type row, a
// labelled drop-down list (the label is control 9001, the list control 9000) and, when asked
// for, the read-only check box.
class CFileDialogEx : public QFileDialog {
    Q_OBJECT
public:
    enum ControlId { ChoiceList = 9000, ChoiceLabel = 9001 };

    CFileDialogEx(QWidget* parent, const QString& title, const QString& directory,
                  const QStringList& filters);

    // Set before running the dialog.
    void setChoices(const QString& label, const QStringList& items, int index);
    void setReadOnlyBoxShown(bool shown);

    // Read after the dialog closed (also after Cancel): the selected item, -1 for none.
    int choiceIndex() const { return m_choiceIndex; }
    bool readOnlyChecked() const;

    QComboBox* choiceList() const { return m_list; }
    QLabel* choiceLabel() const { return m_label; }
    QCheckBox* readOnlyBox() const { return m_readOnly; }

    void done(int result) override;

private:
    QLabel* m_label = nullptr;
    QComboBox* m_list = nullptr;
    QCheckBox* m_readOnly = nullptr;
    int m_choiceIndex = -1;
    bool m_readOnlyShown = false;
};
