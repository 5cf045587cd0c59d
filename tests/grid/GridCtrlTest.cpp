// The grid window driven as a user drives it: real key and mouse events, headless.
#include "grid/CGridCtrl.h"

#include "ScriptedPrompt.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A shown grid of 12 rows and 6 columns (one heading row and column), each data cell "r,c",
// column widths and row heights fixed so that points can be worked out.
class GridCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        GridModel& m = grid.model();
        ASSERT_TRUE(m.SetRowTotal(12));
        ASSERT_TRUE(m.SetColumnTotal(6));
        ASSERT_TRUE(m.SetFixedRowTotal(1));
        ASSERT_TRUE(m.SetFixedColumnTotal(1));
        for (int r = 0; r < 12; ++r) {
            m.SetRowHeight(r, 20);
            for (int c = 0; c < 6; ++c)
                ASSERT_TRUE(m.SetCellText(r, c, QStringLiteral("%1,%2").arg(r).arg(c)));
        }
        for (int c = 0; c < 6; ++c)
            m.SetColumnWidth(c, 60);
        m.MarkModified(false);
        grid.resize(500, 200);
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
        grid.activateWindow();
        grid.setFocus();
    }

    GridModel& model() { return grid.model(); }
    QPoint centre(int row, int col) { return grid.CellRect(row, col).center(); }
    void click(int row, int col, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, mods, centre(row, col));
    }
    void key(int k, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(k), mods);
    }
    void focusAt(int row, int col) { grid.SetFocusCellTo({row, col}); }
    GridCellId focus() { return model().FocusCell(); }
    QString text(int row, int col) { return model().CellText(row, col); }
    // Drags with the left button from one window point to another.
    void drag(QPoint from, QPoint to, Qt::KeyboardModifiers mods = {}) {
        QTest::mousePress(grid.viewport(), Qt::LeftButton, mods, from);
        QMouseEvent move(QEvent::MouseMove, to, grid.viewport()->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, mods);
        QApplication::sendEvent(grid.viewport(), &move);
        QTest::mouseRelease(grid.viewport(), Qt::LeftButton, mods, to);
    }

    ScriptedPrompt prompt;
    CGridCtrl grid;
};

struct MoveCase {
    const char* name;
    GridCellId from;
    int key;
    Qt::KeyboardModifiers mods;
    GridCellId to;
};

class GridMoveTest : public GridCtrlTest, public ::testing::WithParamInterface<MoveCase> {};

// Row 3 and column 2 are hidden: no key lands on them.
TEST_P(GridMoveTest, KeyMovesFocusOverVisibleDataCells) {
    model().SetRowHeight(3, 0);
    model().SetColumnWidth(2, 0);
    focusAt(GetParam().from.row, GetParam().from.col);
    key(GetParam().key, GetParam().mods);
    EXPECT_EQ(focus(), GetParam().to) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GridMoveTest,
    ::testing::Values(MoveCase{"right skips hidden", {1, 1}, Qt::Key_Right, {}, {1, 3}},
                      MoveCase{"down skips hidden", {2, 1}, Qt::Key_Down, {}, {4, 1}},
                      MoveCase{"left stops at data", {1, 1}, Qt::Key_Left, {}, {1, 1}},
                      MoveCase{"up stops at data", {1, 4}, Qt::Key_Up, {}, {1, 4}},
                      MoveCase{"tab wraps", {2, 5}, Qt::Key_Tab, {}, {4, 1}},
                      MoveCase{"backtab wraps", {4, 1}, Qt::Key_Backtab, Qt::ShiftModifier, {2, 5}},
                      MoveCase{"tab stops at last", {11, 5}, Qt::Key_Tab, {}, {11, 5}},
                      MoveCase{"home", {5, 4}, Qt::Key_Home, {}, {5, 1}},
                      MoveCase{"end", {5, 1}, Qt::Key_End, {}, {5, 5}},
                      MoveCase{"ctrl end", {1, 1}, Qt::Key_End, Qt::ControlModifier, {11, 5}},
                      MoveCase{"ctrl home", {9, 4}, Qt::Key_Home, Qt::ControlModifier, {1, 1}}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& c : n)
            c = isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return n;
    });

TEST_F(GridCtrlTest, ShiftExtendsFromWhereTheSelectionBeganAndAMoveStartsAnew) {
    focusAt(2, 2);
    key(Qt::Key_Down, Qt::ShiftModifier);
    key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(model().SelectionBounds(), (GridRange{2, 2, 3, 3}));
    key(Qt::Key_Left);
    EXPECT_EQ(model().SelectionBounds(), (GridRange{3, 2, 3, 2}));
}

TEST_F(GridCtrlTest, PageDownScrollsAndMovesTheFocusByThePage) {
    focusAt(1, 1);
    key(Qt::Key_PageDown);
    EXPECT_GT(grid.verticalScrollBar()->value(), 0);
    EXPECT_GT(focus().row, 1);
    EXPECT_TRUE(grid.viewport()->rect().contains(grid.CellRect(focus().row, 1)));
    key(Qt::Key_PageUp);
    EXPECT_EQ(focus().row, 1);
}

TEST_F(GridCtrlTest, KeysDoNothingWithoutAFocusedCell) {
    for (int k : {int(Qt::Key_Down), int(Qt::Key_A), int(Qt::Key_Delete), int(Qt::Key_F2)})
        key(k);
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_FALSE(focus().isValid());
    EXPECT_EQ(grid.EditBox(), nullptr);
    EXPECT_FALSE(model().IsModified());
}

TEST_F(GridCtrlTest, PressesInTheHeadingsSelectColumnsRowsOrEverything) {
    click(0, 3);
    EXPECT_EQ(model().SelectionBounds(), (GridRange{1, 3, 11, 3}));
    click(4, 0);
    EXPECT_EQ(model().SelectionBounds(), (GridRange{4, 1, 4, 5}));
    click(0, 0);
    EXPECT_EQ(model().SelectionBounds(), (GridRange{1, 1, 11, 5}));
}

TEST_F(GridCtrlTest, DragSelectsARectangleAndCtrlAddsOrTakesOut) {
    drag(centre(1, 1), centre(2, 3));
    EXPECT_EQ(model().SelectionBounds(), (GridRange{1, 1, 2, 3}));
    click(5, 5, Qt::ControlModifier);
    EXPECT_TRUE(model().IsCellSelected(1, 1));
    EXPECT_TRUE(model().IsCellSelected(5, 5));
    click(2, 2, Qt::ControlModifier);
    EXPECT_FALSE(model().IsCellSelected(2, 2));
    EXPECT_EQ(focus(), (GridCellId{2, 2}));
    // Shift extends from where the last selection began and drops the others.
    click(4, 4, Qt::ShiftModifier);
    EXPECT_EQ(model().SelectionBounds(), (GridRange{4, 4, 5, 5}));
    EXPECT_FALSE(model().IsCellSelected(1, 1));
}

TEST_F(GridCtrlTest, BorderDragHidesAColumnAndAnotherDragOpensIt) {
    const int border = grid.CellRect(0, 2).right() + 1;
    const int left = grid.CellRect(0, 2).left();
    drag({border, 10}, {left - 5, 10});
    EXPECT_EQ(model().ColumnWidth(2), 0);
    EXPECT_FALSE(model().IsModified());
    // The hidden column's border is the right edge of column 1; just right of it opens it.
    drag({left + 1, 10}, {left + 40, 10});
    EXPECT_EQ(model().ColumnWidth(2), 40);
    EXPECT_EQ(model().ColumnWidth(1), 60);
}

TEST_F(GridCtrlTest, RowBorderDragResizesTheRow) {
    const QRect row = grid.CellRect(2, 0);
    drag({10, row.bottom() + 1}, {10, row.top() + 33});
    EXPECT_EQ(model().RowHeight(2), 33);
}

TEST_F(GridCtrlTest, TypingReplacesTheTextAndEnterKeepsIt) {
    focusAt(2, 2);
    QTest::keyClicks(&grid, QStringLiteral("ab"));
    ASSERT_NE(grid.EditBox(), nullptr);
    key(Qt::Key_Return);
    EXPECT_EQ(text(2, 2), QStringLiteral("ab"));
    EXPECT_TRUE(model().CellState(2, 2) & GridState::Modified);
    EXPECT_TRUE(model().IsModified());
    EXPECT_EQ(focus(), (GridCellId{2, 2}));
    EXPECT_EQ(grid.EditBox(), nullptr);
}

TEST_F(GridCtrlTest, EscPutsTheTextBackUnmodified) {
    focusAt(2, 2);
    QTest::keyClicks(&grid, QStringLiteral("zz"));
    key(Qt::Key_Escape);
    EXPECT_EQ(text(2, 2), QStringLiteral("2,2"));
    EXPECT_FALSE(model().IsModified());
}

TEST_F(GridCtrlTest, F2KeepsTheTextWithTheCaretAtTheEnd) {
    focusAt(2, 2);
    key(Qt::Key_F2);
    ASSERT_NE(grid.EditBox(), nullptr);
    // After F2 the arrows move the caret instead of ending the edit.
    key(Qt::Key_Left);
    QTest::keyClicks(grid.EditBox(), QStringLiteral("x"));
    key(Qt::Key_Return);
    EXPECT_EQ(text(2, 2), QStringLiteral("2,x2"));
}

TEST_F(GridCtrlTest, TabCarriesTheEditIntoTheNextCell) {
    focusAt(2, 4);
    QTest::keyClicks(&grid, QStringLiteral("p"));
    key(Qt::Key_Tab);
    ASSERT_NE(grid.EditBox(), nullptr);
    EXPECT_EQ(focus(), (GridCellId{2, 5}));
    QTest::keyClicks(grid.EditBox(), QStringLiteral("q"));
    key(Qt::Key_Down);
    EXPECT_EQ(text(2, 4), QStringLiteral("p"));
    EXPECT_EQ(text(2, 5), QStringLiteral("q"));
    EXPECT_EQ(focus(), (GridCellId{3, 5}));
}

TEST_F(GridCtrlTest, ClickOnTheFocusedCellAndDoubleClickEdit) {
    click(3, 3);
    EXPECT_EQ(grid.EditBox(), nullptr);
    click(3, 3);
    ASSERT_NE(grid.EditBox(), nullptr);
    key(Qt::Key_Escape);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, centre(4, 4));
    ASSERT_NE(grid.EditBox(), nullptr);
    EXPECT_EQ(grid.EditBox()->row(), 4);
}

TEST_F(GridCtrlTest, InputMethodTextStartsAnEdit) {
    focusAt(2, 2);
    QInputMethodEvent compose(QStringLiteral("にほん"), {});
    QApplication::sendEvent(&grid, &compose);
    ASSERT_NE(grid.EditBox(), nullptr);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("日本"));
    QApplication::sendEvent(grid.EditBox(), &commit);
    key(Qt::Key_Return);
    EXPECT_EQ(text(2, 2), QStringLiteral("日本"));
}

TEST_F(GridCtrlTest, TheParentMayRefuseTheStartOrTheEndOfAnEdit) {
    bool refuseStart = true;
    bool refuseEnd = false;
    QObject::connect(&grid, &CGridCtrl::beforeEdit,
                     [&](int, int, bool* refuse) { *refuse = refuseStart; });
    QObject::connect(&grid, &CGridCtrl::endEdit,
                     [&](int, int, const QString&, bool* refuse) { *refuse = refuseEnd; });
    focusAt(2, 2);
    QTest::keyClicks(&grid, QStringLiteral("a"));
    EXPECT_EQ(grid.EditBox(), nullptr);
    refuseStart = false;
    refuseEnd = true;
    QTest::keyClicks(&grid, QStringLiteral("a"));
    key(Qt::Key_Return);
    EXPECT_EQ(text(2, 2), QStringLiteral("2,2"));
    EXPECT_FALSE(model().IsModified());
}

TEST_F(GridCtrlTest, CopySkipsHiddenRowsAndColumns) {
    model().SetRowHeight(2, 0);
    model().SetColumnWidth(2, 0);
    drag(centre(1, 1), centre(3, 3));
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("1,1\t1,3\n3,1\t3,3"));
}

TEST_F(GridCtrlTest, CutClearsTheSelectedCells) {
    drag(centre(1, 1), centre(1, 2));
    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("1,1\t1,2"));
    EXPECT_EQ(text(1, 1), QString());
    EXPECT_EQ(text(1, 2), QString());
    EXPECT_EQ(text(1, 3), QStringLiteral("1,3"));
}

struct PasteCase {
    const char* name;
    QString clipboard;
    std::vector<std::pair<GridCellId, const char*>> expected;
    GridRange selection;
};

class GridPasteTest : public GridCtrlTest, public ::testing::WithParamInterface<PasteCase> {};

// Pasted at (2,2); column 3 is hidden and takes no field.
TEST_P(GridPasteTest, FieldsGoToTheVisibleCellsFromTheTarget) {
    model().SetColumnWidth(3, 0);
    focusAt(2, 2);
    QApplication::clipboard()->setText(GetParam().clipboard);
    key(Qt::Key_V, Qt::ControlModifier);
    for (const auto& [cell, want] : GetParam().expected)
        EXPECT_EQ(text(cell.row, cell.col), QString::fromUtf8(want))
            << GetParam().name << " " << cell.row << "," << cell.col;
    EXPECT_EQ(model().SelectionBounds(), GetParam().selection) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, GridPasteTest,
    ::testing::Values(PasteCase{"comma",
                                QStringLiteral("x,y"),
                                {{{2, 2}, "x"}, {{2, 3}, "2,3"}, {{2, 4}, "y"}},
                                {2, 2, 2, 4}},
                      PasteCase{"tab keeps commas",
                                QStringLiteral("Tokyo, Japan\t 10\r\n\na\t"),
                                {{{2, 2}, "Tokyo, Japan"},
                                 {{2, 4}, " 10"},
                                 {{3, 2}, "3,2"},
                                 {{4, 2}, "a"},
                                 {{4, 4}, "4,4"}},
                                {2, 2, 4, 4}},
                      PasteCase{"beyond the grid",
                                QStringLiteral("a\tb\tc\td\te"),
                                {{{2, 2}, "a"}, {{2, 4}, "b"}, {{2, 5}, "c"}},
                                {2, 2, 2, 5}}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& c : n)
            c = isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return n;
    });

TEST_F(GridCtrlTest, PasteChangesNothingInAReadOnlyGridOrOnAReadOnlyTarget) {
    QApplication::clipboard()->setText(QStringLiteral("x\ty"));
    model().SetCellState(2, 2, GridState::ReadOnly);
    focusAt(2, 2);
    key(Qt::Key_V, Qt::ControlModifier);
    model().Behaviour().editable = false;
    focusAt(4, 2);
    key(Qt::Key_V, Qt::ControlModifier);
    key(Qt::Key_Delete);
    EXPECT_EQ(text(2, 2), QStringLiteral("2,2"));
    EXPECT_EQ(text(2, 3), QStringLiteral("2,3"));
    EXPECT_EQ(text(4, 2), QStringLiteral("4,2"));
    EXPECT_FALSE(model().IsModified());
}

TEST_F(GridCtrlTest, ACharacterTheFileCannotHoldIsRefusedWithAMessage) {
    focusAt(2, 2);
    QApplication::clipboard()->setText(QStringLiteral("ok\t\U0001F600"));
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(text(2, 2), QStringLiteral("ok"));
    EXPECT_EQ(text(2, 3), QStringLiteral("2,3"));
    ASSERT_EQ(prompt.texts().size(), 1);
    EXPECT_EQ(prompt.texts().front(),
              QStringLiteral(
                  "文字\U0001F600は Shift_JIS で保存出来ない為、セルに書き込みませんでした。"));
}

TEST_F(GridCtrlTest, RightClickTellsTheParent) {
    GridCellId clicked;
    QObject::connect(&grid, &CGridCtrl::rightClick, [&](int row, int col, QPoint) {
        clicked = {row, col};
    });
    QTest::mouseClick(grid.viewport(), Qt::RightButton, {}, centre(3, 2));
    EXPECT_EQ(clicked, (GridCellId{3, 2}));
}

TEST_F(GridCtrlTest, WheelScrollsByTheDesktopsLinesPerNotch) {
    ASSERT_TRUE(model().SetRowTotal(100));
    const QPoint at = centre(2, 2);
    QWheelEvent down(at, grid.viewport()->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, {},
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid.viewport(), &down);
    EXPECT_EQ(grid.verticalScrollBar()->value(), grid.WheelLines() * 20);
}

TEST_F(GridCtrlTest, AGridWithoutRowsOrColumnsTakesEveryEvent) {
    ASSERT_TRUE(model().SetRowTotal(0));
    ASSERT_TRUE(model().SetColumnTotal(0));
    click(0, 0);
    drag({5, 5}, {300, 150});
    for (int k : {int(Qt::Key_Down), int(Qt::Key_End), int(Qt::Key_Tab)})
        key(k);
    grid.viewport()->repaint();
    EXPECT_FALSE(focus().isValid());
}

} // namespace

namespace {

TEST_F(GridCtrlTest, AHugeCellWithLineFeedsIsShownAndEditedWithoutChange) {
    QByteArray huge(10 << 20, 'x');
    huge[5] = '\n';
    ASSERT_TRUE(model().SetCellBytes(2, 2, huge));
    grid.viewport()->repaint();
    focusAt(2, 2);
    key(Qt::Key_F2);
    ASSERT_NE(grid.EditBox(), nullptr);
    key(Qt::Key_Return);
    EXPECT_EQ(model().CellBytes(2, 2), huge);
    EXPECT_FALSE(model().IsModified());
}

} // namespace

namespace {

struct StartCase {
    const char* name;
    int key;
    const char* typedAfter;
    const char* result;
};

class GridStartKeyTest : public GridCtrlTest, public ::testing::WithParamInterface<StartCase> {};

// The key that opens the edit decides what typing then does to "2,2".
TEST_P(GridStartKeyTest, StartKeyPlacesTheCaret) {
    focusAt(2, 2);
    key(GetParam().key);
    ASSERT_NE(grid.EditBox(), nullptr) << GetParam().name;
    QTest::keyClicks(grid.EditBox(), QString::fromUtf8(GetParam().typedAfter));
    key(Qt::Key_Return);
    EXPECT_EQ(text(2, 2), QString::fromUtf8(GetParam().result)) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Keys, GridStartKeyTest,
                         ::testing::Values(StartCase{"letter", Qt::Key_Q, "r", "qr"},
                                           StartCase{"f2", Qt::Key_F2, "x", "2,2x"},
                                           StartCase{"enter", Qt::Key_Return, "x", "2,2x"},
                                           StartCase{"backspace", Qt::Key_Backspace, "x", "2,x"},
                                           StartCase{"space", Qt::Key_Space, "x", "x"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GridCtrlTest, ClickingAnotherCellEndsTheEditKeepingTheText) {
    focusAt(2, 2);
    QTest::keyClicks(&grid, QStringLiteral("k"));
    click(5, 4);
    EXPECT_EQ(grid.EditBox(), nullptr);
    EXPECT_EQ(text(2, 2), QStringLiteral("k"));
    EXPECT_EQ(focus(), (GridCellId{5, 4}));
}

TEST_F(GridCtrlTest, HoldingTheButtonBelowTheGridScrollsAndExtendsTheSelection) {
    ASSERT_TRUE(model().SetRowTotal(200));
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, centre(1, 1));
    const QPoint below(centre(1, 1).x(), grid.viewport()->height() + 20);
    QMouseEvent move(QEvent::MouseMove, below, grid.viewport()->mapToGlobal(below), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(grid.viewport(), &move);
    QTest::qWait(200);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, below);
    const GridRange bounds = model().SelectionBounds();
    EXPECT_EQ(bounds.top, 1);
    EXPECT_EQ(bounds.left, 1);
    EXPECT_EQ(bounds.right, 1);
    EXPECT_GT(bounds.bottom, 10);
    EXPECT_GT(grid.verticalScrollBar()->value(), 0);
    const int stopped = bounds.bottom;
    QTest::qWait(100);
    EXPECT_EQ(model().SelectionBounds().bottom, stopped);
}

TEST_F(GridCtrlTest, DoubleClickOnAColumnBorderFitsTheColumn) {
    const QString wide = QStringLiteral("一二三四五六七八九十一二三四五六七八九十");
    ASSERT_TRUE(model().SetCellText(4, 2, wide));
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, {grid.CellRect(0, 2).right() + 1, 10});
    EXPECT_GE(model().ColumnWidth(2), grid.fontMetrics().horizontalAdvance(wide));
}

TEST_F(GridCtrlTest, AHeadingClickSortsWhenSortingByClickIsOn) {
    for (int r = 1; r < 12; ++r)
        ASSERT_TRUE(model().SetCellText(r, 3, QString(QChar(u'a' + (r * 7) % 11))));
    model().Behaviour().sortOnClick = true;
    click(0, 3);
    EXPECT_EQ(model().SortColumn(), 3);
    EXPECT_EQ(text(1, 3), QStringLiteral("a"));
    EXPECT_EQ(model().SelectionBounds(), (GridRange{1, 3, 11, 3}));
    click(0, 3);
    EXPECT_EQ(text(1, 3), QStringLiteral("k"));
}

} // namespace

namespace {

TEST_F(GridCtrlTest, AnEditWithACharacterTheFileCannotHoldOpensAgainWithTheText) {
    focusAt(2, 2);
    key(Qt::Key_F2);
    ASSERT_NE(grid.EditBox(), nullptr);
    grid.EditBox()->insert(QStringLiteral("\U0001F600"));
    key(Qt::Key_Return);
    EXPECT_EQ(prompt.texts().size(), 1);
    ASSERT_NE(grid.EditBox(), nullptr);
    EXPECT_EQ(grid.EditBox()->text(), QStringLiteral("2,2\U0001F600"));
    key(Qt::Key_Escape);
    EXPECT_EQ(text(2, 2), QStringLiteral("2,2"));
    EXPECT_FALSE(model().IsModified());
}

} // namespace

namespace {

TEST_F(GridCtrlTest, DeleteClearsTheSelectedCellsButNotHiddenOnes) {
    model().SetRowHeight(2, 0);
    drag(centre(1, 1), centre(3, 2));
    key(Qt::Key_Delete);
    for (GridCellId cell : {GridCellId{1, 1}, GridCellId{1, 2}, GridCellId{3, 1}})
        EXPECT_EQ(text(cell.row, cell.col), QString()) << cell.row << "," << cell.col;
    EXPECT_EQ(text(2, 1), QStringLiteral("2,1"));
    EXPECT_EQ(text(1, 3), QStringLiteral("1,3"));
    EXPECT_TRUE(model().CellState(1, 1) & GridState::Modified);
}

TEST_F(GridCtrlTest, CtrlArrowEndsAnEditThatBeganWithTheMouse) {
    focusAt(2, 2);
    key(Qt::Key_F2);
    key(Qt::Key_Right);
    ASSERT_NE(grid.EditBox(), nullptr);
    key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(focus(), (GridCellId{2, 3}));
    ASSERT_NE(grid.EditBox(), nullptr);
    EXPECT_EQ(grid.EditBox()->column(), 3);
}

} // namespace

namespace {

TEST_F(GridCtrlTest, RemovingTheEditedRowEndsTheEdit) {
    focusAt(11, 2);
    QTest::keyClicks(&grid, QStringLiteral("w"));
    ASSERT_NE(grid.EditBox(), nullptr);
    ASSERT_TRUE(model().RemoveRow(11));
    EXPECT_EQ(grid.EditBox(), nullptr);
    EXPECT_TRUE(grid.hasFocus());
    EXPECT_EQ(text(10, 2), QStringLiteral("10,2"));
}

TEST_F(GridCtrlTest, CtrlEndReachesTheLastOf100000Columns) {
    ASSERT_TRUE(model().SetColumnTotal(100000));
    focusAt(1, 1);
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(focus(), (GridCellId{11, 99999}));
    EXPECT_TRUE(grid.viewport()->rect().contains(grid.CellRect(11, 99999)));
    grid.viewport()->repaint();
}

} // namespace
