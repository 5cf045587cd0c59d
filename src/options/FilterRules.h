#pragma once

#include <QString>

#include <array>

// The checks of the two filter pages, made when the options dialog is confirmed. Each returns
// the message to show, or an empty string when the values pass.

// A kind with a title needs a pattern; a pattern without a title passes (file dialogs skip it).
QString CheckPcFilter(const std::array<QString, 5>& titles, const std::array<QString, 5>& kinds);

// Every non-empty extension must begin with a period; the first row that does not is reported.
QString CheckServerFilter(const std::array<QString, 15>& extensions);

// The row number as the messages write it: full-width digits ("１", "１０").
QString FullWidthNumber(int number);
