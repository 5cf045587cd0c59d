#pragma once

#include <QStringView>

struct AppSettings;

// The server filter's lookup of a listed file's extension (with its leading dot): for the first
// of the rows "Ext1".."Ext15" that equals it, the row's icon number + 2 (the list image 2..5);
// 0 when no row equals it. Letter case of ASCII letters is ignored and double-byte characters
// compare as whole characters. An empty extension equals the first empty row, so files without
// an extension can be given an icon (and filtered) too.
int ServerFileIcon(const AppSettings& settings, QStringView extension);

// The image of a line of a server list: 0 for a directory, the filter's image for a file whose
// extension is one of the filter's rows, otherwise 1 (an ordinary file).
int ServerListImage(const AppSettings& settings, bool directory, QStringView extension);

// A file whose extension is one of the filter's rows: left out of a list while filtering is on.
bool IsFilteredExtension(const AppSettings& settings, QStringView extension);
