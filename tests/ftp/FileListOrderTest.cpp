#include "ftp/FileListOrder.h"
#include "encoding/LosslessCodec.h"

#include <gtest/gtest.h>

namespace {

using Row = FileListOrder::Row;

Row row(bool directory, const QString& name, qint64 size = 0,
        const QString& date = QStringLiteral("2024/01/01 00:00")) {
    return {directory, {name, FileListOrder::sizeText(size), date}, 0};
}

QStringList names(const std::vector<Row>& rows) {
    QStringList result;
    for (const Row& r : rows)
        result << r.texts[0];
    return result;
}

} // namespace

TEST(FileListOrder, EachColumnTogglesItsOwnDirection) {
    FileListOrder order(3);
    EXPECT_EQ(order.state(1), 0);
    order.toggle(1);
    EXPECT_EQ(order.state(1), FileListOrder::Ascending);
    EXPECT_EQ(order.sortColumn(), 1);
    order.toggle(1);
    EXPECT_EQ(order.state(1), FileListOrder::Descending);
    order.toggle(2);
    EXPECT_EQ(order.state(2), FileListOrder::Ascending);
    EXPECT_EQ(order.state(1), FileListOrder::Descending); // kept for the next click
    order.toggle(1);
    EXPECT_EQ(order.state(1), FileListOrder::Ascending);

    // A refill sorts by name ascending, whatever the name column said before.
    order.toggle(0);
    EXPECT_EQ(order.state(0), FileListOrder::Ascending);
    order.refill();
    EXPECT_EQ(order.sortColumn(), 0);
    EXPECT_EQ(order.state(0), FileListOrder::Ascending);
    EXPECT_TRUE(order.ascending());
}

TEST(FileListOrder, DirectoriesStayFirstInBothDirections) {
    std::vector<Row> rows = {row(false, QStringLiteral("b.txt")), row(true, QStringLiteral("zdir")),
                             row(false, QStringLiteral("A.txt")), row(true, QStringLiteral("adir")),
                             row(false, QStringLiteral("c.txt"))};
    FileListOrder order(3);
    order.refill();
    order.sort(rows);
    EXPECT_EQ(names(rows),
              (QStringList{QStringLiteral("adir"), QStringLiteral("zdir"), QStringLiteral("A.txt"),
                           QStringLiteral("b.txt"), QStringLiteral("c.txt")}));
    order.toggle(0);
    order.sort(rows);
    EXPECT_EQ(names(rows),
              (QStringList{QStringLiteral("zdir"), QStringLiteral("adir"), QStringLiteral("c.txt"),
                           QStringLiteral("b.txt"), QStringLiteral("A.txt")}));
    EXPECT_TRUE(order.lessThan(rows[1], rows[2]));
    EXPECT_FALSE(order.lessThan(rows[2], rows[1]));
}

TEST(FileListOrder, SizesAndDatesSortByValueAsText) {
    EXPECT_EQ(FileListOrder::sizeText(5), QStringLiteral("         5"));
    EXPECT_EQ(FileListOrder::sizeText(1234567890), QStringLiteral("1234567890"));
    std::vector<Row> rows = {row(false, QStringLiteral("big"), 100000),
                             row(false, QStringLiteral("small"), 9),
                             row(false, QStringLiteral("mid"), 10)};
    FileListOrder order(3);
    order.toggle(1);
    order.sort(rows);
    EXPECT_EQ(names(rows),
              (QStringList{QStringLiteral("small"), QStringLiteral("mid"), QStringLiteral("big")}));
    EXPECT_LT(FileListOrder::compareText(QStringLiteral("2023/12/31 23:59"),
                                         QStringLiteral("2024/01/01 00:00")),
              0);
}

TEST(FileListOrder, TextsCompareAsCp932BytesWithoutLetterCase) {
    EXPECT_EQ(
        FileListOrder::compareText(QStringLiteral("README.TXT"), QStringLiteral("readme.txt")), 0);
    EXPECT_LT(FileListOrder::compareText(QStringLiteral("apple"), QStringLiteral("Banana")), 0);
    // Folded to small letters, as the C library's case-insensitive comparison does: "_" (0x5F)
    // sorts before "a" (0x61).
    EXPECT_LT(FileListOrder::compareText(QStringLiteral("_x"), QStringLiteral("Ax")), 0);
    // The second byte of "ア" (83 41) and "ャ" (83 61) look like "A" and "a" but are no letters.
    EXPECT_LT(FileListOrder::compareText(QStringLiteral("ア"), QStringLiteral("ャ")), 0);
    // Byte order: a double-byte character (lead 0x88) before half-width katakana (0xB1).
    EXPECT_LT(FileListOrder::compareText(QStringLiteral("亜"), QStringLiteral("ｱ")), 0);
    EXPECT_LT(FileListOrder::compareText(QStringLiteral("z"), QStringLiteral("亜")), 0);
    // Only the first 255 bytes count.
    const QString head(255, u'x');
    EXPECT_EQ(FileListOrder::compareText(head + u'a', head + u'b'), 0);
    EXPECT_LT(FileListOrder::compareText(QString(254, u'x') + u'a', QString(254, u'x') + u'b'), 0);
}
