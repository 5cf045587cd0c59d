#pragma once

#include "encoding/FileConversion.h"

#include <QString>

class QFileDevice;

// One JIS X 0208 position (row and cell, 0x21..0x7E each in the standard area).
struct JisCode {
    unsigned char row;
    unsigned char cell;
};
struct SjisPair {
    unsigned char lead;
    unsigned char trail;
};

// One character between Shift_JIS and JIS. The Shift_JIS user-defined rows F0..F9 go to JIS
// rows 0x74..0x7E and 0x0C, the extension rows FA..FC to 0x11..0x1E. JIS row 0x74 cells
// 0x21..0x26 are the kanji 堯槇遙瑤凜熙 and come back as Shift_JIS EA 9F..EA A4; only the
// user-defined F0 40..F0 45 share those codes going to JIS.
JisCode SjisToJis(unsigned char lead, unsigned char trail);
SjisPair JisToSjis(unsigned char row, unsigned char cell);

// Whole-file conversions; a failure carries the message to show: a source that cannot be
// opened creates nothing, and a destination that fails while being written is removed.
// The destination is replaced only when complete, keeping its mode (see convertFile).
// `progress` hears of every block and may stop the conversion (Cancelled).
Result<> ConvertSjisToEuc(const QString& destination, const QString& source);
Result<> ConvertEucToSjis(const QString& destination, const QString& source);
Result<> ConvertEucToSjis(const QString& destination, const QString& source,
                          const ConversionProgress& progress);
// Into a file the caller opened for writing: the intermediate file of an upload.
Result<> ConvertSjisToEuc(QFileDevice& destination, const QString& source,
                          const ConversionProgress& progress = {});
