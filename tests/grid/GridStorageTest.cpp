#include "GridTestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Cells keep the file's bytes: whatever the codec makes of them, an unedited cell gives back
// exactly what was put in, and an edit goes through the codec.
TEST(GridStorage, KeepsBytesAndShowsThemThroughTheCodec) {
    const struct {
        GridTextCodec codec;
        QByteArray bytes;
        QString shown;
    } cases[] = {
        {GridTextCodec::Cp932,
         "\x82\xa0"
         "A\xb1",
         u"あAｱ"_s},
        {GridTextCodec::Cp932, "\x82", QString(QChar(char16_t(0xDC82)))}, // lone lead byte
        {GridTextCodec::Utf8, "\xe3\x81\x82z", u"あz"_s},
        {GridTextCodec::Utf8, "a\xff\xe3\x81",
         u"a"_s + QChar(char16_t(0xDCFF)) + QChar(char16_t(0xDCE3)) + QChar(char16_t(0xDC81))},
    };
    for (const auto& c : cases) {
        GridModel grid;
        grid.SetTextCodec(c.codec);
        (void)grid.SetRowTotal(1);
        (void)grid.SetColumnTotal(2);
        ASSERT_TRUE(grid.SetCellBytes(0, 1, c.bytes));
        EXPECT_EQ(grid.CellText(0, 1), c.shown);
        EXPECT_EQ(grid.CellBytes(0, 1), c.bytes);
        ASSERT_TRUE(grid.SetCellText(0, 0, c.shown)); // edited back: the same bytes
        EXPECT_EQ(grid.CellBytes(0, 0), c.bytes);
    }
}

TEST(GridStorage, CutsTheStartOfALongCellAtACharacterBoundary) {
    const struct {
        GridTextCodec codec;
        QByteArray bytes;
        qsizetype limit;
        QString start;
    } cases[] = {
        {GridTextCodec::Cp932,
         "a\x82\xa0"
         "b",
         2, u"a"_s}, // not half of あ
        {GridTextCodec::Cp932,
         "a\x82\xa0"
         "b",
         3, u"aあ"_s},
        {GridTextCodec::Cp932, "\xb1\xb2", 1, u"ｱ"_s},
        {GridTextCodec::Utf8, "a\xe3\x81\x82", 3, u"a"_s},
        {GridTextCodec::Utf8, "a\xe3\x81\x82", 9, u"aあ"_s},
    };
    for (const auto& c : cases) {
        GridModel grid;
        grid.SetTextCodec(c.codec);
        (void)grid.SetRowTotal(1);
        (void)grid.SetColumnTotal(1);
        ASSERT_TRUE(grid.SetCellBytes(0, 0, c.bytes));
        EXPECT_EQ(grid.CellTextPrefix(0, 0, c.limit), c.start) << c.bytes.toHex().constData();
    }
}

TEST(GridStorage, RefusesTextTheCodecCannotHoldAndKeepsTheCell) {
    GridModel grid;
    (void)grid.SetRowTotal(1);
    (void)grid.SetColumnTotal(1);
    ASSERT_TRUE(grid.SetCellText(0, 0, u"元"_s));
    EXPECT_EQ(grid.EncodeText(u"ab😀"_s).unencodableAt, 2);
    EXPECT_FALSE(grid.SetCellText(0, 0, u"ab😀"_s));
    EXPECT_EQ(grid.CellText(0, 0), u"元"_s);
    grid.SetTextCodec(GridTextCodec::Utf8);
    EXPECT_TRUE(grid.SetCellText(0, 0, u"ab😀"_s));
    EXPECT_EQ(grid.CellBytes(0, 0), "ab\xf0\x9f\x98\x80");
}

TEST(GridStorage, HoldsLargeCellsWithLineFeedsAndWideTables) {
    GridModel grid;
    ASSERT_TRUE(grid.SetColumnTotal(100000));
    ASSERT_TRUE(grid.SetRowTotal(3));
    const QByteArray big = QByteArray(10 * 1024 * 1024, 'x') + "\nend\r\n";
    ASSERT_TRUE(grid.SetCellBytes(1, 99999, big));
    ASSERT_TRUE(grid.SetCellBytes(1, 5, "five"));
    EXPECT_EQ(grid.CellBytes(1, 99999), big);
    EXPECT_EQ(grid.CellBytes(1, 5), "five");
    EXPECT_EQ(grid.CellBytes(1, 99998), "");
    EXPECT_EQ(grid.CellBytes(2, 99999), "");
}

TEST(GridStorage, MovesCellsStateAndAttributesWithTheirColumns) {
    GridModel grid;
    fillGrid(grid, 3, 4);
    GridCellAttributes red;
    red.textColour = 0xFF0000;
    grid.SetCellAttributes(2, 3, red);
    grid.SetCellState(2, 3, GridState::ReadOnly);
    ASSERT_EQ(grid.AddColumn(u"new"_s, GridFormat::Initial, 2), 2);
    EXPECT_EQ(grid.CellText(2, 4), u"2,3"_s);
    EXPECT_EQ(grid.CellAttributes(2, 4).textColour, 0xFF0000u);
    EXPECT_TRUE(grid.CellState(2, 4) & GridState::ReadOnly);
    EXPECT_EQ(grid.CellText(2, 2), u""_s);
    ASSERT_TRUE(grid.RemoveColumn(1));
    EXPECT_EQ(grid.CellText(2, 3), u"2,3"_s);
    EXPECT_EQ(grid.CellAttributes(2, 3).textColour, 0xFF0000u);
    ASSERT_TRUE(grid.RemoveColumn(3));
    EXPECT_EQ(grid.AttributedCellCount(), 0);
    EXPECT_EQ(grid.CellText(2, 0), u"2,0"_s);
}

// Rows of few and many cells, short and long texts: every cell reads back as written, and a
// state set later on one cell leaves the others and their bytes alone.
TEST(GridStorage, RowsOfEverySizeReadBackAsWritten) {
    for (const int cells : {1, 15, 16, 40}) {
        for (const int length : {1, 20, 3000}) {
            GridModel grid;
            ASSERT_TRUE(grid.SetRowTotal(2));
            ASSERT_TRUE(grid.SetColumnTotal(cells));
            std::vector<QByteArray> texts;
            QList<QByteArrayView> fields;
            for (int c = 0; c < cells; ++c)
                texts.push_back(QByteArray(length, char('a' + c % 26)) + QByteArray::number(c));
            for (const QByteArray& t : texts)
                fields.append(t);
            ASSERT_TRUE(grid.SetRowBytes(1, 0, fields));
            grid.SetCellState(1, cells - 1, GridState::ReadOnly);
            for (int c = 0; c < cells; ++c)
                EXPECT_EQ(grid.CellBytes(1, c), texts[size_t(c)]) << cells << " x " << length;
            EXPECT_EQ(grid.CellState(1, cells - 1) & GridState::ReadOnly, GridState::ReadOnly);
            EXPECT_EQ(grid.CellState(1, 0) & GridState::ReadOnly,
                      cells == 1 ? GridState::ReadOnly : 0u);
        }
    }
}

TEST(GridStorage, FillsARowInOnePassAndDropsFieldsPastTheEnd) {
    GridModel grid;
    (void)grid.SetRowTotal(2);
    (void)grid.SetColumnTotal(3);
    ASSERT_TRUE(grid.SetRowBytes(1, 1, {"a", "", "dropped"}));
    EXPECT_EQ(grid.CellBytes(1, 1), "a");
    EXPECT_EQ(grid.CellBytes(1, 2), "");
    EXPECT_FALSE(grid.SetRowBytes(2, 0, {"x"}));
    EXPECT_FALSE(grid.SetCellBytes(0, 3, "x"));
}

// A row of a few bytes is kept in the row's own slot: it moves with its row, keeps a state
// and outgrows the slot like any other.
TEST(GridStorage, TinyRowsMoveKeepStatesAndGrow) {
    GridModel grid;
    ASSERT_TRUE(grid.SetRowTotal(4));
    ASSERT_TRUE(grid.SetColumnTotal(2));
    for (int r = 0; r < 4; ++r)
        ASSERT_TRUE(grid.SetRowBytes(r, 0, {QByteArray::number(r), "x"}));
    grid.MarkModified(true, 1, 1);
    grid.SetCellState(2, 0, GridState::ReadOnly);
    ASSERT_TRUE(grid.SortByColumn(0, false)); // 3 2 1 0
    EXPECT_EQ(grid.CellBytes(0, 0), "3");
    EXPECT_EQ(grid.CellBytes(2, 0), "1");
    EXPECT_TRUE(grid.CellState(2, 1) & GridState::Modified);
    EXPECT_TRUE(grid.CellState(1, 0) & GridState::ReadOnly);
    grid.MarkModified(false);
    EXPECT_FALSE(grid.CellState(2, 1) & GridState::Modified);
    EXPECT_EQ(grid.NextCellWith({-1, -1}, GridState::ReadOnly), (GridCellId{1, 0}));
    ASSERT_TRUE(grid.SetCellBytes(1, 1, "longer than a slot"));
    ASSERT_TRUE(grid.RemoveRow(0));
    EXPECT_EQ(grid.CellBytes(0, 0), "2");
    EXPECT_EQ(grid.CellBytes(0, 1), "longer than a slot");
    EXPECT_TRUE(grid.CellState(0, 0) & GridState::ReadOnly);
    EXPECT_EQ(grid.CellBytes(2, 1), "x");
}

// Numbered headings are made when read: each stays with its row through sorting, removing and
// inserting rows, one set by hand stays as set, and inserting column 0 moves them all.
TEST(GridStorage, NumberedHeadingsStayWithTheirRows) {
    GridModel grid;
    ASSERT_TRUE(grid.SetRowTotal(5));
    ASSERT_TRUE(grid.SetColumnTotal(2));
    ASSERT_TRUE(grid.SetFixedRowTotal(1));
    grid.SetRowHeadings(1, [](int n) { return "R" + QByteArray::number(n); });
    for (int r = 1; r < 5; ++r)
        ASSERT_TRUE(grid.SetRowBytes(r, 1, {QByteArray(1, char('e' - r))})); // d c b a
    const auto column = [&](int col) {
        QStringList texts;
        for (int r = 1; r < grid.RowTotal(); ++r)
            texts << grid.CellText(r, col);
        return texts;
    };
    EXPECT_EQ(column(0), (QStringList{u"R1"_s, u"R2"_s, u"R3"_s, u"R4"_s}));
    ASSERT_TRUE(grid.SetCellBytes(2, 0, "A"));
    ASSERT_TRUE(grid.SortByColumn(1, true));
    EXPECT_EQ(column(0), (QStringList{u"R4"_s, u"R3"_s, u"A"_s, u"R1"_s}));
    ASSERT_TRUE(grid.RemoveRow(1));
    ASSERT_EQ(grid.AddRow(u"B"_s, 2), 2);
    EXPECT_EQ(column(0), (QStringList{u"R3"_s, u"B"_s, u"A"_s, u"R1"_s}));
    QList<QByteArrayView> views;
    grid.RowViews(4, 0, views);
    EXPECT_EQ(views, (QList<QByteArrayView>{"R1", "d"}));
    ASSERT_TRUE(grid.SortByColumn(0, false));
    EXPECT_EQ(column(0), (QStringList{u"R3"_s, u"R1"_s, u"B"_s, u"A"_s}));
    EXPECT_EQ(column(1), (QStringList{u"b"_s, u"d"_s, u""_s, u"c"_s}));
    ASSERT_EQ(grid.AddColumn(u"new"_s, GridFormat::Initial, 0), 0);
    EXPECT_EQ(column(0), (QStringList{u""_s, u""_s, u""_s, u""_s}));
    EXPECT_EQ(column(1), (QStringList{u"R3"_s, u"R1"_s, u"B"_s, u"A"_s}));
}

} // namespace
