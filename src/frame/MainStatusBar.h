#pragma once

#include "frame/StatusTexts.h"

#include <QStatusBar>

#include <array>

class QLabel;

// The status bar (59393): the message pane ("レディ" when idle) and seven indicator panes,
// each as wide as its sizing text, or as its text where a number is wider. `show` changes only the
// panes whose text changed, so an idle cycle with nothing new costs a few comparisons.
class MainStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit MainStatusBar(QWidget* parent);

    void show(const StatusTexts& texts);
    const StatusTexts& shown() const { return m_shown; }

private:
    // The server name and directory, the first two panes, are shortened to their widths.
    static constexpr size_t ElidedPanes = 2;

    std::array<QLabel*, 7> m_panes{};
    std::array<int, 7> m_sizingWidths{};
    StatusTexts m_shown;
};
