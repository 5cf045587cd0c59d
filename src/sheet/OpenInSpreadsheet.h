#pragma once

#include <QString>

struct SheetContext;

// The one entry into the spreadsheet editor: asks for the input settings, then runs the
// spreadsheet window on the local file `path` modally. Every open editor document of a file the
// spreadsheet wrote is told afterwards, so that it shows the new text.
void OpenInSpreadsheet(const SheetContext& context, const QString& path, bool readOnly);
