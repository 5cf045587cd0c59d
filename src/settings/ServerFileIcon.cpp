#include "settings/ServerFileIcon.h"

#include "settings/AppSettings.h"

namespace {

char16_t foldAscii(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - u'a' + u'A') : c;
}

// Only ASCII letters fold: the double-byte letters of an extension keep their own width and case,
// as the list shows them.
bool equalIgnoringAsciiCase(QStringView a, QStringView b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i].unicode()) != foldAscii(b[i].unicode()))
            return false;
    }
    return true;
}

} // namespace

int ServerFileIcon(const AppSettings& settings, QStringView extension) {
    for (int i = 0; i < AppSettings::ServerExtensions; ++i) {
        if (equalIgnoringAsciiCase(extension, settings.Ext[i]))
            return settings.Icon[i] + 2;
    }
    return 0;
}

int ServerListImage(const AppSettings& settings, bool directory, QStringView extension) {
    if (directory)
        return 0;
    int image = ServerFileIcon(settings, extension);
    // An icon number outside 1..4 in a hand-edited settings file has no picture: show the
    // ordinary file image rather than none.
    return (image < 2 || image > 5) ? 1 : image;
}

bool IsFilteredExtension(const AppSettings& settings, QStringView extension) {
    return ServerFileIcon(settings, extension) != 0;
}
