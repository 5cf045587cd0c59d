#pragma once

#include <QColor>
#include <QFont>
#include <QString>

struct AppSettings;

// A settings colour (0x00BBGGRR, red in the low byte) as a QColor, and back.
QColor colorFromColorRef(int colorRef);
int colorRefFromColor(const QColor& color);

// The installed face that stands for `faceName`: the face itself when it is installed, else for
// the Windows Japanese faces (the default "ＭＳ ゴシック" among them) an installed fixed-pitch
// Japanese face (IPA Gothic, Noto Sans Mono CJK JP), else the system's fixed-pitch face.
QString installedFaceFor(const QString& faceName);

// The editor font of the settings: face, size in points (the integer value of FontSize, 11 when
// that is not positive), bold and italic.
QFont editorFont(const AppSettings& settings);
