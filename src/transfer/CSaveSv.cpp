#include "transfer/CSaveSv.h"

#include "platform/Prompt.h"
#include "settings/ServerProfile.h"
#include "transfer/CServerDir.h"
#include "transfer/ServerDialogContext.h"
#include "transfer/ServerPaths.h"
#include "widgets/DialogButtons.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

CSaveSv::CSaveSv(ServerDialogContext& context, const ServerProfile& profile,
                 const QString& fileName, QWidget* parent)
    : QDialog(parent), m_context(context), m_profile(std::make_unique<ServerProfile>(profile)),
      m_directory(profile.Dir), m_fileName(fileName), m_code(codeSystemIndex(profile.Code)) {
    setWindowTitle(QStringLiteral("サーバ保存確認"));
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    m_question = new QLabel(this);
    m_question->setObjectName(QStringLiteral("Question"));
    top->addWidget(icon);
    top->addWidget(m_question, 1);
    layout->addLayout(top);

    auto* grid = new QGridLayout;
    m_directoryEdit = new QLineEdit(this);
    m_directoryEdit->setObjectName(QStringLiteral("Directory"));
    m_directoryEdit->setReadOnly(true);
    m_directoryEdit->setMinimumWidth(260);
    m_browse = new QPushButton(QStringLiteral("参照"), this);
    m_browse->setObjectName(QStringLiteral("Browse"));
    m_browse->setVisible(profile.DirChg != 0);
    m_fileNameEdit = new QLineEdit(this);
    m_fileNameEdit->setObjectName(QStringLiteral("FileName"));
    grid->addWidget(new QLabel(QStringLiteral("ﾃﾞｨﾚｸﾄﾘ"), this), 0, 0);
    grid->addWidget(m_directoryEdit, 0, 1);
    grid->addWidget(m_browse, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("ﾌｧｲﾙ名"), this), 1, 0);
    grid->addWidget(m_fileNameEdit, 1, 1, 1, 2);

    auto* codes = new QHBoxLayout;
    m_euc = new QRadioButton(QStringLiteral("EUC"), this);
    m_euc->setObjectName(QStringLiteral("Euc"));
    m_sjis = new QRadioButton(QStringLiteral("SJIS"), this);
    m_sjis->setObjectName(QStringLiteral("Sjis"));
    m_utf8 = new QRadioButton(QStringLiteral("UTF-8"), this);
    m_utf8->setObjectName(QStringLiteral("Utf8"));
    auto* group = new QButtonGroup(this);
    group->addButton(m_euc);
    group->addButton(m_sjis);
    group->addButton(m_utf8);
    codes->addWidget(m_euc);
    codes->addWidget(m_sjis);
    codes->addWidget(m_utf8);
    codes->addStretch();
    grid->addWidget(new QLabel(QStringLiteral("ｺｰﾄﾞ体系"), this), 2, 0);
    grid->addLayout(codes, 2, 1, 1, 2);
    layout->addLayout(grid);
    layout->addWidget(addOkCancelButtons(this));

    connect(m_browse, &QPushButton::clicked, this, &CSaveSv::browse);
    showValues();
}

CSaveSv::~CSaveSv() = default;

void CSaveSv::readControls() {
    m_fileName = m_fileNameEdit->text();
    m_code = m_utf8->isChecked()   ? CodeSystemUtf8
             : m_sjis->isChecked() ? CodeSystemSjis
                                   : CodeSystemEuc;
}

void CSaveSv::showValues() {
    m_question->setText(
        QStringLiteral("サーバ:%1 に保存します。宜しいですか？").arg(m_profile->Server));
    m_directoryEdit->setText(m_directory);
    m_fileNameEdit->setText(m_fileName);
    (m_code == CodeSystemUtf8   ? m_utf8
     : m_code == CodeSystemSjis ? m_sjis
                                : m_euc)
        ->setChecked(true);
}

void CSaveSv::browse() {
    readControls();
    // Only the directory is chosen there: the file keeps its own profile (protocol, port,
    // user...), whichever stored profile shares its server and directory.
    ServerProfile browsed = *m_profile;
    browsed.Code = m_code; // names are read as they will be written
    CServerDir list(m_context, browsed, this);
    if (list.exec() != QDialog::Accepted)
        return;
    m_directory = list.selectedDirectory();
    // The upload goes to the profile's directory: keep it the one the dialog shows.
    m_profile->Dir = m_directory;
    showValues();
}

void CSaveSv::accept() {
    readControls();
    // The name is both the local copy's name in the transfer directory and the name in the
    // server directory: it must stay inside both.
    const QString problem = ServerPaths::checkFileName(m_fileName);
    if (!problem.isEmpty()) {
        Prompt::error(problem);
        m_fileNameEdit->setFocus();
        return;
    }
    m_profile->Code = m_code;
    m_profile->Dir = m_directory;
    QDialog::accept();
}
