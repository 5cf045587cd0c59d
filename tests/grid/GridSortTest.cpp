#include "GridTestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Row headings (column 0) of the data rows, in order.
QStringList headings(const GridModel& grid) {
    QStringList list;
    for (int r = grid.FixedRowTotal(); r < grid.RowTotal(); ++r)
        list.append(grid.CellText(r, 0));
    return list;
}

GridModel* gridWithKeys(const QStringList& keys) {
    auto* grid = new GridModel;
    (void)grid->SetRowTotal(int(keys.size()) + 1);
    (void)grid->SetColumnTotal(2);
    (void)grid->SetFixedRowTotal(1);
    (void)grid->SetFixedColumnTotal(1);
    for (int k = 0; k < keys.size(); ++k) {
        (void)grid->SetCellText(k + 1, 0, u"h"_s + QString::number(k + 1));
        (void)grid->SetCellText(k + 1, 1, keys[k]);
    }
    return grid;
}

TEST(GridSort, OrdersRowsAsThePartsQuicksortDoes) {
    const struct {
        QStringList keys;
        bool ascending;
        QStringList order;
    } cases[] = {
        // Tied keys come out as the quicksort leaves them, not in their first order.
        {{u"b"_s, u"a"_s, u"b"_s, u"a"_s, u"c"_s},
         true,
         {u"h4"_s, u"h2"_s, u"h3"_s, u"h1"_s, u"h5"_s}},
        // All equal: no row is exchanged, in either direction.
        {{u"x"_s, u"x"_s, u"x"_s, u"x"_s}, true, {u"h1"_s, u"h2"_s, u"h3"_s, u"h4"_s}},
        {{u"x"_s, u"x"_s, u"x"_s}, false, {u"h1"_s, u"h2"_s, u"h3"_s}},
        // Character codes: ASCII, then half-width kana (one byte), then double-byte characters;
        // case-sensitive, no numeric order.
        {{u"あ"_s, u"ｱ"_s, u"a"_s, u"B"_s, u"10"_s, u"9"_s},
         true,
         {u"h5"_s, u"h6"_s, u"h4"_s, u"h3"_s, u"h2"_s, u"h1"_s}},
        {{u"あ"_s, u"ｱ"_s, u"a"_s}, false, {u"h1"_s, u"h2"_s, u"h3"_s}},
    };
    for (const auto& c : cases) {
        std::unique_ptr<GridModel> grid(gridWithKeys(c.keys));
        ASSERT_TRUE(grid->SortByColumn(1, c.ascending));
        EXPECT_EQ(headings(*grid), c.order) << c.keys.join(u' ').toStdString();
        EXPECT_EQ(grid->SortColumn(), 1);
        EXPECT_EQ(grid->SortAscending(), c.ascending);
    }
}

TEST(GridSort, MovesHeightsStateAndAttributesWithTheirRowsAndKeepsHeadings) {
    std::unique_ptr<GridModel> grid(gridWithKeys({u"c"_s, u"b"_s, u"a"_s}));
    (void)grid->SetCellText(0, 1, u"Col.1"_s);
    grid->SetRowHeight(1, 0); // "c" hidden
    grid->SetRowHeight(2, 33);
    grid->SetCellState(2, 1, GridState::ReadOnly);
    grid->CellAt(2, 1).SetBackClr(0x00FF00);
    grid->SelectAll();
    ASSERT_TRUE(grid->SortByColumn(1, true));
    EXPECT_EQ(headings(*grid), (QStringList{u"h3"_s, u"h2"_s, u"h1"_s}));
    EXPECT_EQ(grid->CellText(0, 1), u"Col.1"_s);
    EXPECT_EQ(grid->RowHeight(3), 0);
    EXPECT_EQ(grid->RowHeight(2), 33);
    EXPECT_TRUE(grid->CellAt(2, 1).IsReadOnly());
    EXPECT_EQ(grid->CellAt(2, 1).GetBackClr(), 0x00FF00u);
    EXPECT_TRUE(grid->Selection().isEmpty());
    EXPECT_EQ(grid->Rows().indexAt(grid->Rows().start(3)), -1); // hidden at the end
}

TEST(GridSort, AColumnOfNumbersSortsByValue) {
    const struct {
        QStringList keys;
        bool ascending;
        QStringList order;
    } cases[] = {
        {{u"10"_s, u"2"_s, u"100"_s, u"1"_s}, true, {u"h4"_s, u"h2"_s, u"h1"_s, u"h3"_s}},
        {{u"10"_s, u"2"_s, u"100"_s, u"1"_s}, false, {u"h3"_s, u"h1"_s, u"h2"_s, u"h4"_s}},
        // Signs, points, leading zeros, spaces and empty cells (first, as among texts).
        {{u"-1.5"_s, u""_s, u" 007 "_s, u"-10"_s, u"0.25"_s, u"+3"_s},
         true,
         {u"h2"_s, u"h4"_s, u"h1"_s, u"h5"_s, u"h6"_s, u"h3"_s}},
        // Longer than any machine number, told apart by their last digit.
        {{u"123456789012345678901"_s, u"123456789012345678900"_s}, true, {u"h2"_s, u"h1"_s}},
        // One cell that is not a number: the column sorts as text.
        {{u"10"_s, u"9"_s, u"x"_s}, true, {u"h1"_s, u"h2"_s, u"h3"_s}},
    };
    for (const auto& c : cases) {
        std::unique_ptr<GridModel> grid(gridWithKeys(c.keys));
        ASSERT_TRUE(grid->SortByColumn(1, c.ascending));
        EXPECT_EQ(headings(*grid), c.order) << c.keys.join(u'|').toStdString();
    }
}

TEST(GridSort, UsesTheOwnersComparisonWhenGiven) {
    std::unique_ptr<GridModel> grid(gridWithKeys({u"10"_s, u"9"_s, u"100"_s}));
    grid->SetCompareFunction(
        [](QByteArrayView a, QByteArrayView b) { return a.toInt() - b.toInt(); });
    ASSERT_TRUE(grid->SortByColumn(1, true));
    EXPECT_EQ(headings(*grid), (QStringList{u"h2"_s, u"h1"_s, u"h3"_s}));
}

} // namespace
