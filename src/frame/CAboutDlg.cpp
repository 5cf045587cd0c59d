#include "frame/CAboutDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QSysInfo>
#include <QVBoxLayout>

#include <curl/curl.h>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("バージョン情報 Vantorpad"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* title =
        new QLabel(QStringLiteral("Vantorpad Version %1").arg(QLatin1String(VANTORPAD_VERSION)));
    QFont font = title->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    title->setFont(font);
    layout->addWidget(title);
    auto* details = new QLabel(versionText());
    details->setObjectName(QStringLiteral("versions"));
    details->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(details);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

QString CAboutDlg::versionText() {
    return QStringLiteral("Qt %1\nlibcurl %2\n%3")
        .arg(QLatin1String(qVersion()), QLatin1String(curl_version_info(CURLVERSION_NOW)->version),
             QSysInfo::prettyProductName());
}
