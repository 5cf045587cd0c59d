#pragma once

#include <QString>

// One JIS X 0208 position (row and cell, 0x21..0x7E each in the standard area).
struct JisCode {
    unsigned char row;
    unsigned char cell;
};
struct SjisPair {
    unsigned char lead;
    unsigned char trail;
};

JisCode SjisToJis(unsigned char lead, unsigned char trail);
SjisPair JisToSjis(unsigned char row, unsigned char cell);

// Whole-file conversions. Return 0 on success, 1 when a file cannot be opened (the message has
// been shown through Prompt and nothing was created).
int ConvertSjisToEuc(const QString& destination, const QString& source);
int ConvertEucToSjis(const QString& destination, const QString& source);
