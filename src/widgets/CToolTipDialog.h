#pragma once

#include <QDialog>
#include <QHash>

// A dialog whose controls show tool tips taken from the string table: a control whose
// "controlId" property names a string of the table gets that whole string as its tip. Tips show
// while the application-wide tool-tip switch is on (it starts on).
class CToolTipDialog : public QDialog {
    Q_OBJECT
public:
    explicit CToolTipDialog(QWidget* parent = nullptr);

    // Returns the state it replaces.
    static bool setToolTipsEnabled(bool enabled);
    static bool toolTipsEnabled();

    // The string table the tips come from; dialogs add the texts of their control ids.
    static QHash<int, QString>& stringTable();

    // Gives every child control with a string its tip; runs when the dialog is first shown.
    void registerToolTips();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_registered = false;
};
