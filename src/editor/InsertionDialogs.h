#pragma once

#include <QDialog>
#include <QStringList>

#include <array>

class QLineEdit;
class QListWidget;

// "日付＆時刻の挿入" (mode 0) and "特定文字列の挿入" (mode 1): a list of texts to insert. The
// caller gives the entries (Insertions::dateTimeEntries or readSpecialStrings) and inserts the
// chosen one after OK; a double-click acts as OK.
class CDateDialog : public QDialog {
    Q_OBJECT
public:
    enum Mode { DateTime = 0, SpecialStrings = 1 };

    CDateDialog(Mode mode, const QStringList& entries, QWidget* parent = nullptr);

    Mode mode() const { return m_mode; }
    // The selected text after OK; empty when the list was empty.
    QString chosen() const { return m_chosen; }

    void accept() override;

private:
    Mode m_mode;
    QString m_chosen;
    QListWidget* m_list = nullptr;
};

// "指定行へジャンプ": the line number, from 1 to 9999999. A value out of range keeps the
// dialog open with the range message.
class CJumpLine : public QDialog {
    Q_OBJECT
public:
    CJumpLine(int currentLine, QWidget* parent = nullptr);

    int line() const { return m_line; }

    void accept() override;

private:
    int m_line = 1;
    QLineEdit* m_edit = nullptr;
};

// "キーワード設定": the ten keywords of each set. Typed letters become capitals, as the keyword
// conversions match keywords kept in capitals.
class CKeyWordSet : public QDialog {
    Q_OBJECT
public:
    using Keywords = std::array<QString, 10>;

    CKeyWordSet(const Keywords& set1, const Keywords& set2, QWidget* parent = nullptr);

    Keywords set1() const;
    Keywords set2() const;

private:
    std::array<QLineEdit*, 20> m_edits{};
};
