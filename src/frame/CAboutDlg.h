#pragma once

#include <QDialog>

// The about box: the program, its version and the libraries it runs on.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    static QString versionText();
};
