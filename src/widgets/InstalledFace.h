#pragma once

#include <QString>

// The installed face that stands for `faceName`: the face itself when it is installed, else for
// the Windows Japanese faces (the default "ＭＳ ゴシック" among them) an installed fixed-pitch
// Japanese face (IPA Gothic, Noto Sans Mono CJK JP), else the system's fixed-pitch face.
QString installedFaceFor(const QString& faceName);
