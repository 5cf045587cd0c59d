#pragma once

#include "widgets/InstalledFace.h"

#include <QColor>
#include <QFont>
#include <QString>

struct AppSettings;

// A settings colour (0x00BBGGRR, red in the low byte) as a QColor, and back.
QColor colorFromColorRef(int colorRef);
int colorRefFromColor(const QColor& color);

// The editor font of the settings: face, size in points (the integer value of FontSize, 11 when
// that is not positive), bold and italic.
QFont editorFont(const AppSettings& settings);
