#pragma once

#include "options/StorableText.h"

#include <QWidget>

#include <array>

struct AppSettings;
class QCheckBox;
class QComboBox;
class QLineEdit;

// Options page "Serverﾌｨﾙﾀ": fifteen extensions with an icon number each, and whether server
// lists start filtered. Four sample buttons show what the icon numbers look like.
class CSvFilter : public QWidget {
    Q_OBJECT
public:
    static constexpr int Rows = 15;
    static constexpr int Icons = 4;

    explicit CSvFilter(QWidget* parent = nullptr);

    static QString tabTitle() { return QStringLiteral("Serverﾌｨﾙﾀ"); }

    void load(const AppSettings& settings);
    // Shows the message of the first extension that does not begin with a period and returns
    // false; true when all pass.
    bool validate();
    void store(AppSettings& settings) const;
    QList<PageText> texts() const;

private:
    QWidget* buildRows();
    QWidget* buildSamples();
    std::array<QString, Rows> extensions() const;

    QCheckBox* m_filterFirst = nullptr;
    std::array<QLineEdit*, Rows> m_ext{};
    std::array<QComboBox*, Rows> m_icon{};
};
