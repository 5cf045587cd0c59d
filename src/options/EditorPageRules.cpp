#include "options/EditorPageRules.h"

#include "settings/AppSettings.h"

#include <cmath>

namespace EditorPageRules {

int fontDialogHeight(const QString& fontSize) {
    // Held to the largest size a font dialog offers.
    int points = qMin(AppSettings::fontPointsOf(fontSize), AppSettings::MaxFontPoints);
    return points * 4 / 3;
}

QString fontSizeText(double pointSize) {
    if (!(pointSize > 0))
        return QStringLiteral("0");
    long tenths = std::lround(std::floor(pointSize * 10.0 + 1e-6));
    return QString::number(tenths / 10);
}

QString fontSizeAfterDialog(const QString& current, double startPoints, double chosenPoints) {
    if (std::abs(chosenPoints - startPoints) < 0.05)
        return current;
    return fontSizeText(chosenPoints);
}

QString folderDialogTitle(const QString& startFolder) {
    return QStringLiteral("%1 【現在のﾌｫﾙﾀﾞ=%2】").arg(QStringLiteral("フォルダ選択"), startFolder);
}

} // namespace EditorPageRules
