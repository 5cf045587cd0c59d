#pragma once

#include "settings/AppSettings.h"

#include <QDialog>

class CEditOpt;
class CFtpOpt;
class CNetOpt;
class CPcFilter;
class CSvFilter;
class QTabWidget;
class ServerTrust;

// The options dialog: five tabs, one page each. It works on a copy of the settings and of the
// FTP debug-log switch; OK checks the filter pages and writes every page back into the copy.
// Storing a server profile (on a change of tab, of profile, and on OK) writes "DefaultDisp",
// "DefaultNo" and "FtpUse" into the copy at once, so those hold even after Cancel. A value the
// settings file cannot hold unchanged is refused on a change of tab and on OK, so that nothing
// is ever saved altered.
class COptionDlg : public QDialog {
    Q_OBJECT
public:
    enum Tab { EditorTab, PcFilterTab, ServerFilterTab, FtpTab, NetworkTab };

    // `trust` is what the connection test and the directory tree log on with.
    COptionDlg(const AppSettings& settings, bool ftpDebugLog, ServerTrust& trust,
               QWidget* parent = nullptr);
    ~COptionDlg() override;

    // The settings as the dialog leaves them (read after it has closed).
    const AppSettings& settings() const { return m_settings; }
    bool ftpDebugLog() const { return m_ftpDebugLog; }

    // Runs the dialog modally on the program's settings. OK gives them every page; Cancel only
    // the three server settings that storing a profile has written. Returns true on OK.
    static bool Run(AppSettings& settings, bool& ftpDebugLog, ServerTrust& trust, QWidget* parent);
    // Takes the outcome of a dialog that has closed.
    void applyTo(AppSettings& settings, bool& ftpDebugLog) const;

    QTabWidget* tabs() const { return m_tabs; }
    CEditOpt* editorPage() const { return m_edit; }
    CPcFilter* pcFilterPage() const { return m_pcFilter; }
    CSvFilter* serverFilterPage() const { return m_svFilter; }
    CFtpOpt* ftpPage() const { return m_ftp; }
    CNetOpt* networkPage() const { return m_net; }

public slots:
    void accept() override;

private:
    void tabChanged(int index);
    // Every text of every page storable and the FTP page's port in range; else the refused
    // field is shown with the cursor in it.
    bool allFieldsStorable();
    // Shows the page of a field a check refused and puts the cursor in it; true when there was
    // none.
    bool noneRefused(QWidget* refused);

    AppSettings m_settings;
    bool m_ftpDebugLog = false;
    QTabWidget* m_tabs = nullptr;
    CEditOpt* m_edit = nullptr;
    CPcFilter* m_pcFilter = nullptr;
    CSvFilter* m_svFilter = nullptr;
    CFtpOpt* m_ftp = nullptr;
    CNetOpt* m_net = nullptr;
};
