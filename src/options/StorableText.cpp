#include "options/StorableText.h"

#include "platform/Prompt.h"
#include "settings/AppSettings.h"

QWidget* refuseUnstorableText(const QList<PageText>& texts) {
    for (const PageText& t : texts) {
        switch (settingsTextFault(t.text)) {
        case SettingsTextFault::None:
            continue;
        case SettingsTextFault::Unstorable:
            Prompt::error(QStringLiteral("%1 に使用出来ない文字が含まれています。").arg(t.label));
            break;
        case SettingsTextFault::TooLong:
            // Cut, a password or a directory would be another one.
            Prompt::error(QStringLiteral("%1 は半角255文字（全角127文字）以内で入力して下さい。")
                              .arg(t.label));
            break;
        }
        return t.field;
    }
    return nullptr;
}
