#include "options/CNetOpt.h"

#include "settings/AppSettings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QCheckBox* addCheck(QWidget* parent, QLayout* layout, const QString& text, const char* name) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    layout->addWidget(box);
    return box;
}

} // namespace

CNetOpt::CNetOpt(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);

    auto* proxyGroup = new QGroupBox(this);
    auto* proxyLayout = new QVBoxLayout(proxyGroup);
    const std::array<QString, 3> proxyTexts = {QStringLiteral("レジストリの事前設定に従う。"),
                                               QStringLiteral("インターネットへ直接アクセスする。"),
                                               QStringLiteral("明示的にプロクシを指定する。")};
    auto* buttons = new QButtonGroup(this);
    for (int mode = 0; mode < 3; ++mode) {
        m_proxy[mode] = new QRadioButton(proxyTexts[mode], proxyGroup);
        m_proxy[mode]->setObjectName(QStringLiteral("Proxy%1").arg(mode));
        buttons->addButton(m_proxy[mode], mode);
        proxyLayout->addWidget(m_proxy[mode]);
        connect(m_proxy[mode], &QRadioButton::clicked, this, [this, mode] { proxyClicked(mode); });
    }
    auto* nameRow = new QHBoxLayout;
    m_name = new QLineEdit(proxyGroup);
    m_name->setObjectName(QStringLiteral("Name"));
    nameRow->addSpacing(20);
    nameRow->addWidget(new QLabel(QStringLiteral("プロクシ名"), proxyGroup));
    nameRow->addWidget(m_name, 1);
    proxyLayout->addLayout(nameRow);
    layout->addWidget(proxyGroup);

    m_passive = addCheck(this, layout, QStringLiteral("PASSIVEモードで接続する。"), "Passive");
    auto* passiveNote = new QLabel(
        QStringLiteral("OFFで実行して上手く繋がらない場合は、ONにしてみて下さい。"), this);
    passiveNote->setIndent(20);
    layout->addWidget(passiveNote);
    m_raw = addCheck(this, layout, QStringLiteral("一覧取得時、RAW I/Oを行う"), "Raw");
    m_spDelim = addCheck(this, layout,
                         QStringLiteral("一覧取得時、ファイル名区切り文字を空白文字にする。\n"
                                        "※ｽﾍﾟｰｽを含むﾌｧｲﾙ名は扱えなくなります。"),
                         "SpDelim");
    m_debugLog = addCheck(
        this, layout, QStringLiteral("デバックログを出力する（トラブル対応時。保存されません）"),
        "DebugLog");

    // The listing method is carried through as the file has it; the page never shows it.
    m_list = new QComboBox(this);
    m_list->setObjectName(QStringLiteral("List"));
    m_list->addItems(ListingMethods());
    m_list->setVisible(false);
    layout->addStretch();
}

void CNetOpt::load(const AppSettings& settings, bool ftpDebugLog) {
    m_state = NetworkPageState::from(settings.Network, ftpDebugLog);
    showValues();
}

void CNetOpt::showValues() {
    const NetworkSettings& v = m_state.values;
    m_proxy[v.Proxy]->setChecked(true);
    m_name->setText(v.Name);
    m_name->setEnabled(m_state.nameEnabled());
    m_passive->setChecked(v.Passive != 0);
    m_raw->setChecked(v.Raw != 0);
    m_list->setCurrentIndex(ListingMethodSelection(v.List));
    m_debugLog->setChecked(m_state.debugLog);
    m_spDelim->setChecked(v.SpDelim != 0);
}

QList<PageText> CNetOpt::texts() const {
    return {{QStringLiteral("プロクシ名"), m_state.values.Name, m_name}};
}

void CNetOpt::takeControls() {
    NetworkSettings& v = m_state.values;
    for (int mode = 0; mode < 3; ++mode)
        if (m_proxy[mode]->isChecked())
            v.Proxy = mode;
    v.Name = m_name->text();
    v.Passive = m_passive->isChecked() ? 1 : 0;
    v.Raw = m_raw->isChecked() ? 1 : 0;
    v.List = m_list->currentIndex();
    m_state.debugLog = m_debugLog->isChecked();
    v.SpDelim = m_spDelim->isChecked() ? 1 : 0;
}

void CNetOpt::proxyClicked(int mode) {
    m_state.chooseProxy(mode);
    showValues();
}

void CNetOpt::store(AppSettings& settings, bool& ftpDebugLog) const {
    settings.Network = m_state.values;
    ftpDebugLog = m_state.debugLog;
}
