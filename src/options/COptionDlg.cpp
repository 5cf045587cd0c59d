#include "options/COptionDlg.h"

#include "options/CEditOpt.h"
#include "options/CFtpOpt.h"
#include "options/CNetOpt.h"
#include "options/CPcFilter.h"
#include "options/CSvFilter.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

COptionDlg::COptionDlg(const AppSettings& settings, bool ftpDebugLog, ServerTrust& trust,
                       QWidget* parent)
    : QDialog(parent), m_settings(settings), m_ftpDebugLog(ftpDebugLog) {
    setWindowTitle(QStringLiteral("オプション設定"));
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("Tabs"));
    layout->addWidget(m_tabs);

    m_edit = new CEditOpt(this);
    m_pcFilter = new CPcFilter(this);
    m_svFilter = new CSvFilter(this);
    m_ftp = new CFtpOpt(this);
    m_net = new CNetOpt(this);
    m_edit->load(m_settings);
    m_pcFilter->load(m_settings);
    m_svFilter->load(m_settings);
    m_ftp->load(m_settings, m_ftpDebugLog, trust);
    m_net->load(m_settings, m_ftpDebugLog);
    m_tabs->addTab(m_edit, CEditOpt::tabTitle());
    m_tabs->addTab(m_pcFilter, CPcFilter::tabTitle());
    m_tabs->addTab(m_svFilter, CSvFilter::tabTitle());
    m_tabs->addTab(m_ftp, CFtpOpt::tabTitle());
    m_tabs->addTab(m_net, CNetOpt::tabTitle());
    m_tabs->setCurrentIndex(EditorTab);
    connect(m_tabs, &QTabWidget::currentChanged, this, &COptionDlg::tabChanged);

    // Plain buttons: a button box would make OK the default button, and Return in a field
    // belongs to the page, which ignores it.
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    connect(ok, &QPushButton::clicked, this, &COptionDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &COptionDlg::reject);
    layout->addLayout(buttons);

    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    m_edit->setFocus();
}

COptionDlg::~COptionDlg() = default;

void COptionDlg::tabChanged(int) {
    m_edit->takeControls();
    m_ftp->takeControls();
    // The two pages a change of tab takes in; a refused field keeps its page shown.
    if (!noneRefused(refuseUnstorableText(m_edit->texts())) ||
        !noneRefused(refuseUnstorableText(m_ftp->texts())))
        return;
    m_edit->fillEmptyLocalDirectory();
    m_ftp->StoreProfile();
}

bool COptionDlg::noneRefused(QWidget* refused) {
    if (!refused)
        return true;
    for (QWidget* w = refused; w; w = w->parentWidget()) {
        const int tab = m_tabs->indexOf(w);
        if (tab < 0)
            continue;
        // Back to the page without taking it in again: that is what refused it.
        const QSignalBlocker quiet(m_tabs);
        m_tabs->setCurrentIndex(tab);
        break;
    }
    refused->setFocus();
    return false;
}

bool COptionDlg::allFieldsStorable() {
    return noneRefused(refuseUnstorableText(m_edit->texts())) &&
           noneRefused(refuseUnstorableText(m_pcFilter->texts())) &&
           noneRefused(refuseUnstorableText(m_svFilter->texts())) &&
           noneRefused(refuseUnstorableText(m_ftp->texts())) &&
           noneRefused(refuseUnstorableText(m_net->texts())) &&
           noneRefused(m_ftp->refusePortOutOfRange());
}

void COptionDlg::accept() {
    m_edit->takeControls();
    m_ftp->takeControls();
    m_net->takeControls();
    m_edit->fillEmptyLocalDirectory();
    // The first failing check keeps the dialog open on whichever tab is shown.
    if (!m_pcFilter->validate() || !m_svFilter->validate())
        return;
    if (!allFieldsStorable())
        return;
    m_ftp->StoreProfile();

    m_edit->store(m_settings);
    m_pcFilter->store(m_settings);
    m_svFilter->store(m_settings);
    m_ftp->store(m_settings);
    m_net->store(m_settings, m_ftpDebugLog);
    QDialog::accept();
}

void COptionDlg::applyTo(AppSettings& settings, bool& ftpDebugLog) const {
    if (result() == QDialog::Accepted) {
        settings = m_settings;
        ftpDebugLog = m_ftpDebugLog;
        return;
    }
    settings.DefaultDisp = m_settings.DefaultDisp;
    settings.DefaultNo = m_settings.DefaultNo;
    settings.FtpUse = m_settings.FtpUse;
}

bool COptionDlg::Run(AppSettings& settings, bool& ftpDebugLog, ServerTrust& trust,
                     QWidget* parent) {
    COptionDlg dialog(settings, ftpDebugLog, trust, parent);
    dialog.exec();
    dialog.applyTo(settings, ftpDebugLog);
    return dialog.result() == QDialog::Accepted;
}
