#pragma once

#include "options/StorableText.h"

#include <QWidget>

#include <array>

struct AppSettings;
class QLineEdit;

// Options page "PCﾌｨﾙﾀ": the five file kinds (title and pattern list) that every local file
// dialog offers. The page edits its own copy; the options dialog loads it, validates it when
// OK is pressed, and stores it back.
class CPcFilter : public QWidget {
    Q_OBJECT
public:
    static constexpr int Kinds = 5;

    explicit CPcFilter(QWidget* parent = nullptr);

    static QString tabTitle() { return QStringLiteral("PCﾌｨﾙﾀ"); }

    void load(const AppSettings& settings);
    // Shows the message of the first incomplete kind and returns false; true when all pass.
    bool validate();
    void store(AppSettings& settings) const;
    QList<PageText> texts() const;

private:
    std::array<QString, Kinds> titles() const;
    std::array<QString, Kinds> kinds() const;

    std::array<QLineEdit*, Kinds> m_title{};
    std::array<QLineEdit*, Kinds> m_kind{};
};
