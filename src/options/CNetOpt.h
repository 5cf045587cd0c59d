#pragma once

#include "options/NetworkPageState.h"
#include "options/StorableText.h"

#include <QWidget>

#include <array>

struct AppSettings;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

// Options page "Network": how the FTP layer reaches the servers. The page keeps its values
// apart from its controls; they meet only when the dialog exchanges them, so clicking a proxy
// button shows the kept values again and drops what was changed on the page since.
class CNetOpt : public QWidget {
    Q_OBJECT
public:
    explicit CNetOpt(QWidget* parent = nullptr);

    static QString tabTitle() { return QStringLiteral("Network"); }

    void load(const AppSettings& settings, bool ftpDebugLog);
    // Takes the values of the controls into the page.
    void takeControls();
    // Writes the page's values back; the debug-log switch goes to the caller, never to a file.
    void store(AppSettings& settings, bool& ftpDebugLog) const;

    const NetworkPageState& values() const { return m_state; }
    // The page's texts as last taken from the controls.
    QList<PageText> texts() const;

private:
    void showValues();
    void proxyClicked(int mode);

    NetworkPageState m_state;
    std::array<QRadioButton*, 3> m_proxy{};
    QLineEdit* m_name = nullptr;
    QCheckBox* m_passive = nullptr;
    QCheckBox* m_raw = nullptr;
    QComboBox* m_list = nullptr;
    QCheckBox* m_debugLog = nullptr;
    QCheckBox* m_spDelim = nullptr;
};
