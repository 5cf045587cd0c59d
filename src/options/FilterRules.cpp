#include "options/FilterRules.h"

QString CheckPcFilter(const std::array<QString, 5>& titles, const std::array<QString, 5>& kinds) {
    for (std::size_t i = 0; i < titles.size(); ++i) {
        if (!titles[i].isEmpty() && kinds[i].isEmpty())
            return QStringLiteral("タイトルとファイル形式の両方を入力して下さい。");
    }
    return {};
}

QString CheckServerFilter(const std::array<QString, 15>& extensions) {
    for (std::size_t i = 0; i < extensions.size(); ++i) {
        const QString& ext = extensions[i];
        if (!ext.isEmpty() && ext.front() != u'.')
            return QStringLiteral("拡張子%1は、ピリオド（．）で始まる文字列を入力して下さい。")
                .arg(FullWidthNumber(int(i) + 1));
    }
    return {};
}

QString FullWidthNumber(int number) {
    QString digits = QString::number(number);
    for (QChar& c : digits)
        c = QChar(char16_t(u'０' + (c.unicode() - u'0')));
    return digits;
}
