#include "widgets/EditorAppearance.h"

#include "settings/AppSettings.h"

#include <QFontDatabase>

namespace {

bool isInstalled(const QString& family) {
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

bool isWindowsJapaneseFace(const QString& face) {
    static const QStringList faces = {
        QStringLiteral("ＭＳ ゴシック"), QStringLiteral("ＭＳ Ｐゴシック"),
        QStringLiteral("ＭＳ 明朝"),     QStringLiteral("ＭＳ Ｐ明朝"),
        QStringLiteral("MS Gothic"),     QStringLiteral("MS PGothic"),
        QStringLiteral("MS Mincho"),     QStringLiteral("MS PMincho"),
        QStringLiteral("Osaka－等幅"),   QStringLiteral("MS UI Gothic"),
        QStringLiteral("メイリオ"),      QStringLiteral("Meiryo")};
    return faces.contains(face, Qt::CaseInsensitive);
}

} // namespace

QColor colorFromColorRef(int colorRef) {
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

int colorRefFromColor(const QColor& color) {
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

QString installedFaceFor(const QString& faceName) {
    if (!faceName.isEmpty() && isInstalled(faceName))
        return faceName;
    if (isWindowsJapaneseFace(faceName) || faceName.isEmpty()) {
        for (const QString& face :
             {QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック"),
              QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("Noto Sans CJK JP")})
            if (isInstalled(face))
                return face;
    }
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

QFont editorFont(const AppSettings& settings) {
    QFont font(installedFaceFor(settings.FontName));
    font.setStyleHint(QFont::TypeWriter);
    int points = settings.fontPoints();
    if (points <= 0)
        points = 11;
    font.setPointSize(points);
    font.setBold(settings.Bold != 0);
    font.setItalic(settings.Italic != 0);
    return font;
}
