#include "options/StorableText.h"

#include "app/AppSettings.h"
#include "platform/Prompt.h"

QWidget* refuseUnstorableText(const QList<PageText>& texts) {
    for (const PageText& t : texts) {
        if (settingsCanHold(t.text))
            continue;
        Prompt::error(QStringLiteral("%1 に使用出来ない文字が含まれています。").arg(t.label));
        return t.field;
    }
    return nullptr;
}
