#include "frame/StatusTexts.h"

namespace {

QString modifiedText(const StatusSnapshot& s) {
    if (!s.hasDocument)
        return {};
    if (s.readOnly)
        return QStringLiteral("読取");
    return s.modified ? QStringLiteral("変更") : QStringLiteral("　　");
}

QString lockText(std::optional<bool> on, const char* name) {
    return on.value_or(false) ? QString::fromLatin1(name) : QString();
}

} // namespace

StatusTexts statusTextsFor(const StatusSnapshot& s) {
    StatusTexts t;
    if (s.hasDocument) {
        t.server = s.server;
        t.directory = s.directory;
    }
    t.line = s.hasView ? QString::asprintf("%4d/%4d", s.caretLine, s.lineCount)
                       : QStringLiteral("xxxx/xxxx");
    t.modified = modifiedText(s);
    t.caps = lockText(s.capsLock, "CAP");
    t.num = lockText(s.numLock, "NUM");
    // Without a document the new text would be inserted, so the pane says so.
    t.overwrite = !s.hasDocument || s.insertMode ? QStringLiteral("挿入") : QStringLiteral("上書");
    return t;
}

StatusTexts statusSizingTexts() {
    return {QStringLiteral("xxxxxxxxxxxxxxx"),
            QStringLiteral("xxxxxxxxxxxxxxxxxxxx"),
            QStringLiteral("xxxx/xxxx"),
            QStringLiteral("　　　"),
            QStringLiteral("CAP"),
            QStringLiteral("NUM"),
            QStringLiteral("上書")};
}
