#include "frame/MainToolBar.h"

#include "commands/Command.h"

#include <QAction>
#include <QIcon>
#include <QRegularExpression>

namespace {

constexpr int Separator = 0;
constexpr int LargeOnlySeparator = -1;

struct Button {
    int command;
    const char* image;     // our own image, in the resources
    const char* themeIcon; // the desktop's image, where its theme has one
    const char16_t* name;  // the short name under a large button
};

const Button Buttons[] = {
    {CmdFileOpen, "open", "document-open", u"開く"},
    {CmdOpenServerFile, "server-open", "network-server", u"サーバ"},
    {Separator, nullptr, nullptr, nullptr},
    {CmdFtpTransfer, "transfer", "network-transmit-receive", u"FTP転送"},
    {LargeOnlySeparator, nullptr, nullptr, nullptr},
    {CmdFileSave, "save", "document-save", u"保存"},
    {CmdFileSaveAs, "save-as", "document-save-as", u"名前保存"},
    {CmdSaveToServer, "save-server", "document-send", u"サーバ保存"},
    {Separator, nullptr, nullptr, nullptr},
    {CmdEditUndo, "undo", "edit-undo", u"元に戻す"},
    {CmdEditRedo, "redo", "edit-redo", u"やり直し"},
    {Separator, nullptr, nullptr, nullptr},
    {CmdSpreadsheet, "spreadsheet", "x-office-spreadsheet", u"スプレット"},
    {Separator, nullptr, nullptr, nullptr},
    {CmdOptions, "options", "preferences-system", u"オプション"},
};

QIcon iconOf(const Button& b) {
    const QIcon own(QStringLiteral(":/toolbar/%1.svg").arg(QLatin1String(b.image)));
    return QIcon::fromTheme(QLatin1String(b.themeIcon), own);
}

// A button's tip: its short text with its key.
QString tipOf(const QAction* a) {
    const QString keys = a->text().section(u'\t', 1);
    const QString text = MainToolBar::buttonText(a->text());
    return keys.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, keys);
}

} // namespace

QString MainToolBar::buttonText(const QString& menuText) {
    QString text = menuText.section(u'\t', 0, 0);
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    text.remove(QStringLiteral("..."));
    return text.remove(u'&');
}

MainToolBar::MainToolBar(const std::function<QAction*(int)>& actionOf, bool large, QWidget* parent)
    : QToolBar(QStringLiteral("ツール バー"), parent) {
    setObjectName(QStringLiteral("MainToolBar"));
    fill(actionOf);
    m_large = !large;
    setLarge(large);
}

void MainToolBar::fill(const std::function<QAction*(int)>& actionOf) {
    for (const Button& b : Buttons) {
        if (b.command == Separator) {
            addSeparator();
        } else if (b.command == LargeOnlySeparator) {
            m_largeOnlySeparator = addSeparator();
        } else if (QAction* a = actionOf(b.command)) {
            if (a->icon().isNull())
                a->setIcon(iconOf(b));
            a->setIconText(QString::fromUtf16(b.name));
            a->setToolTip(tipOf(a));
            addAction(a);
        }
    }
}

void MainToolBar::setLarge(bool large) {
    if (m_large == large)
        return;
    m_large = large;
    setIconSize(large ? QSize(32, 32) : QSize(16, 16));
    setToolButtonStyle(large ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
    if (m_largeOnlySeparator)
        m_largeOnlySeparator->setVisible(large);
}
