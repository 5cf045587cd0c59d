#include "editor/EditorAppearance.h"

#include "settings/AppSettings.h"

QColor colorFromColorRef(int colorRef) {
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

int colorRefFromColor(const QColor& color) {
    return color.red() | (color.green() << 8) | (color.blue() << 16);
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
