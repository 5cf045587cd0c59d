#include "sheet/SheetEditor.h"
#include "grid/GridModel.h"
#include "platform/ScopedOverride.h"
#include "sheet/SheetMemory.h"

#include "ScriptedPrompt.h"
#include "TempDir.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

// A grid loaded from a file of the test's own, with the editor that loaded it.
struct Loaded {
    TempDir dir;
    QString path;
    GridModel grid;
    SheetEditor editor;

    explicit Loaded(const QByteArray& file, DelimitedTextOptions options = {})
        : path(dir.write(QStringLiteral("t.csv"), file)), editor(grid, withPath(options, path)) {
        EXPECT_TRUE(editor.load());
    }
    static DelimitedTextOptions withPath(DelimitedTextOptions options, const QString& path) {
        options.path = path;
        return options;
    }
    QStringList row(int r) const {
        QStringList texts;
        for (int c = 0; c < grid.ColumnTotal(); ++c)
            texts << grid.CellText(r, c);
        return texts;
    }
    QByteArray saved() const { return readFileBytes(path); }
};

DelimitedTextOptions headingsMode() {
    DelimitedTextOptions o;
    o.firstRowHeadings = true;
    return o;
}

QStringList texts(std::initializer_list<const char*> list) {
    QStringList out;
    for (const char* s : list)
        out << QString::fromUtf8(s);
    return out;
}

} // namespace

TEST(SheetEditor, LoadingLaysTheFileOutWithHeadings) {
    Loaded data("a,b\nc,d,e\n");
    EXPECT_EQ(data.row(0), texts({"", "Col.1", "Col.2", "Col.3"}));
    EXPECT_EQ(data.row(1), texts({"No.00001", "a", "b", ""}));
    EXPECT_EQ(data.row(2), texts({"No.00002", "c", "d", "e"}));
    EXPECT_EQ(data.grid.FixedRowTotal(), 1);
    EXPECT_EQ(data.grid.FixedColumnTotal(), 1);
    EXPECT_FALSE(data.grid.IsModified());
    EXPECT_EQ(data.grid.DefaultCell(false, false).GetBackClr(), 0xFFFFE0u);

    Loaded headings("h1\nc,d,e\n", headingsMode());
    EXPECT_EQ(headings.row(0), texts({"", "h1", "", ""}));
    EXPECT_EQ(headings.row(1), texts({"No.00001", "c", "d", "e"}));
    EXPECT_EQ(headings.grid.RowTotal(), 2);

    for (const DelimitedTextOptions& o : {DelimitedTextOptions{}, headingsMode()}) {
        Loaded empty("\n\n", o);
        EXPECT_EQ(empty.grid.RowTotal(), 1);
        EXPECT_EQ(empty.row(0), texts({"", "Col.1"})) << o.firstRowHeadings;
    }
}

TEST(SheetEditor, UnreadableFileLeavesAnEmptyGridAndSaysSo) {
    ScriptedPrompt prompt;
    TempDir dir;
    GridModel grid;
    DelimitedTextOptions o;
    o.path = dir.filePath(QStringLiteral("none.csv"));
    SheetEditor editor(grid, o);
    EXPECT_FALSE(editor.load());
    EXPECT_EQ(prompt.texts(),
              QStringList{o.path + QStringLiteral(" ファイルがOPEN出来ませんでした。")});
    EXPECT_EQ(grid.RowTotal(), 0);
}

// A file refused on loading, or one whose grid would not fit in memory, leaves a grid that can
// neither be edited nor saved: the file stays as it was.
TEST(SheetEditor, AGridThatDidNotLoadIsNeverSavedOverItsFile) {
    struct Case {
        const char* name;
        QByteArray file;
        qint64 memory; // bytes available, -1: the machine's
        QString message;
    };
    const Case cases[] = {
        {"NUL byte", QByteArray("a,\0b\r\nc,d", 9), -1,
         QStringLiteral(" はバイナリファイルの為、開けません。")},
        {"no memory for the grid", "a,b\r\nc,d", 64, QStringLiteral("メモリが不足しています。")},
    };
    for (const Case& c : cases) {
        ScriptedPrompt prompt;
        const ScopedOverride memory(SheetMemory::setAvailable, c.memory);
        TempDir dir;
        GridModel grid;
        DelimitedTextOptions o;
        o.path = dir.write(QStringLiteral("t.csv"), c.file);
        SheetEditor editor(grid, o);
        EXPECT_FALSE(editor.load()) << c.name;
        EXPECT_TRUE(prompt.texts().value(0).endsWith(c.message)) << c.name;
        EXPECT_FALSE(grid.Behaviour().editable) << c.name;
        editor.setReadOnly(false);
        EXPECT_FALSE(grid.Behaviour().editable) << c.name;
        grid.MarkModified(true);
        EXPECT_EQ(editor.save().status(), ResultStatus::Refused) << c.name;
        EXPECT_EQ(readFileBytes(o.path), c.file) << c.name;
    }
}

// Short lines of one-character fields cost the most memory against their size: the grid is
// estimated before it is built, refused when the estimate does not fit, and built when it does.
TEST(SheetEditor, LoadingIsRefusedOnlyWhenTheGridCannotFit) {
    const QByteArray file = QByteArray("a,b\r\n").repeated(200000);
    for (const qint64 times : {12, 4}) {
        ScriptedPrompt prompt;
        const ScopedOverride memory(SheetMemory::setAvailable, times * file.size());
        TempDir dir;
        GridModel grid;
        DelimitedTextOptions o;
        o.path = dir.write(QStringLiteral("t.csv"), file);
        SheetEditor editor(grid, o);
        EXPECT_EQ(editor.load(), times == 12) << times;
        EXPECT_EQ(grid.RowTotal(), times == 12 ? 200001 : 0) << times;
        EXPECT_LE(grid.StorageBytes(), 8 * file.size()) << times;
        EXPECT_EQ(prompt.texts().isEmpty(), times == 12) << times;
    }
}

TEST(SheetEditor, SavingUnchangedGivesTheFileBackNormalised) {
    struct Case {
        const char* name;
        QByteArray file;
        DelimitedTextOptions options;
        QByteArray saved;
    };
    DelimitedTextOptions quoted;
    quoted.quoted = true;
    const Case cases[] = {
        {"data", "a,b\r\n\r\nc\n", {}, "a,b\r\nc,"},
        {"headings written back", "h1,h2\nx,y", headingsMode(), "h1,h2\r\nx,y"},
        {"0x1A in the middle survives",
         "a\x1A"
         "b,c\nd,e\x1A",
         {},
         "a\x1A"
         "b,c\r\nd,e"},
        {"quoted", "\"a,b\",\"x\"\"y\"\n\"l1\nl2\",z", quoted,
         "\"a,b\",\"x\"\"y\"\r\n\"l1\nl2\",z"},
        {"UTF-8 keeps its mark", "\xEF\xBB\xBF\xE6\x97\xA5,b", {}, "\xEF\xBB\xBF\xE6\x97\xA5,b"},
        {"end-of-file marks all go at once", "a,b\x1A\x1A", {}, "a,b"},
        {"quoted one-column row of an empty cell", "\"\"\nx", quoted, "\"\"\r\nx"},
    };
    for (const Case& c : cases) {
        Loaded l(c.file, c.options);
        EXPECT_EQ(l.editor.save().status(), ResultStatus::Done) << c.name;
        EXPECT_EQ(l.saved(), c.saved) << c.name;
        // A second load and save changes nothing more.
        Loaded again(l.saved(), c.options);
        EXPECT_EQ(again.editor.save().status(), ResultStatus::Done) << c.name;
        EXPECT_EQ(again.saved(), c.saved) << c.name;
    }
}

TEST(SheetEditor, CellThatWouldChangeTheLayoutIsAskedAbout) {
    ScriptedPrompt prompt;
    Loaded l("a,b\nc,d");
    ASSERT_TRUE(l.grid.SetCellText(2, 2, QStringLiteral("x,y")));
    l.grid.MarkModified(true, 2, 2);
    prompt.expectQuestion(PromptAnswer::No);
    EXPECT_EQ(l.editor.save().status(), ResultStatus::Cancelled);
    EXPECT_EQ(prompt.texts(),
              QStringList{QStringLiteral("セル（No.00002, Col.2）に区切文字（,）か改行が有る為、"
                                         "読み直すと列か行が増えます。\nこのまま保存しますか？")});
    EXPECT_EQ(prompt.shown().value(0).icon, PromptIcon::Warning);
    EXPECT_EQ(l.saved(), QByteArray("a,b\nc,d"));
    EXPECT_TRUE(l.grid.IsModified());

    prompt.expectQuestion(PromptAnswer::Yes);
    EXPECT_EQ(l.editor.save().status(), ResultStatus::Done);
    EXPECT_EQ(l.saved(), QByteArray("a,b\r\nc,x,y"));

    // With quoting on the cell is quoted and nothing is asked.
    prompt.clear();
    l.editor.options().quoted = true;
    EXPECT_EQ(l.editor.save().status(), ResultStatus::Done);
    EXPECT_EQ(l.saved(), QByteArray("a,b\r\nc,\"x,y\""));
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST(SheetEditor, ReadOnlyOrUnwritableSavesNothing) {
    ScriptedPrompt prompt;
    DelimitedTextOptions readOnly;
    readOnly.readOnly = true;
    Loaded l("a,b", readOnly);
    EXPECT_FALSE(l.grid.Behaviour().editable);
    EXPECT_EQ(l.editor.save().status(), ResultStatus::Refused);
    EXPECT_TRUE(prompt.texts().isEmpty());

    l.editor.setReadOnly(false);
    l.grid.MarkModified(true);
    const QString folder = l.dir.filePath(QStringLiteral("folder"));
    ASSERT_TRUE(QDir().mkdir(folder));
    l.editor.options().path = folder;
    EXPECT_EQ(l.editor.save().status(), ResultStatus::Failed);
    EXPECT_EQ(prompt.texts(),
              QStringList{folder + QStringLiteral(" ファイルに書き込み出来ません。")});
    EXPECT_TRUE(l.grid.IsModified());
    EXPECT_TRUE(l.editor.writtenPaths().isEmpty());
}

TEST(SheetEditor, InsertedRowsAndColumnsAreNumberedFromTheCounters) {
    ScriptedPrompt prompt;
    Loaded l("h\n1\n2\n3\n4\n5\n6\n7\n8\n9", headingsMode());
    l.grid.SelectRange({9, 1, 9, 1});
    l.editor.insertRow(); // after the last row: appended
    EXPECT_EQ(l.grid.RowTotal(), 11);
    EXPECT_EQ(l.grid.CellText(10, 0), QStringLiteral("No.00011"));
    EXPECT_TRUE(l.grid.IsModified());

    l.grid.SelectRange({3, 1, 5, 1});
    prompt.expectQuestion(PromptAnswer::Yes);
    l.editor.deleteRows();
    EXPECT_EQ(prompt.texts().value(0), QStringLiteral("3 行を削除しても宜しいですか？"));
    EXPECT_EQ(l.grid.RowTotal(), 8);
    EXPECT_EQ(l.grid.CellText(3, 0), QStringLiteral("No.00006"));
    EXPECT_EQ(l.editor.rowCounter(), 8);

    l.grid.SelectRange({1, 1, 1, 1});
    l.editor.insertColumn();
    EXPECT_EQ(l.grid.ColumnTotal(), 3);
    EXPECT_EQ(l.grid.CellText(0, 2), QStringLiteral("Col.2"));

    // Nothing selected: nothing happens, nothing is asked.
    l.grid.ClearSelection();
    prompt.clear();
    l.editor.insertRow();
    l.editor.deleteColumns();
    EXPECT_EQ(l.grid.RowTotal(), 8);
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST(SheetEditor, MoveColumnTakesItsTextsAndHeading) {
    ScriptedPrompt prompt;
    Loaded l("a,b,c,d,e,f\nA,B,C,D,E,F");
    l.grid.SelectColumns(2, 2);
    const int source = l.editor.moveColumnSource();
    ASSERT_EQ(source, 2);
    l.editor.moveColumn(source, 5);
    EXPECT_EQ(l.row(0), texts({"", "Col.1", "Col.3", "Col.4", "Col.5", "Col.2", "Col.6"}));
    EXPECT_EQ(l.row(2), texts({"No.00002", "A", "C", "D", "E", "B", "F"}));

    l.editor.moveColumn(1, 100);
    EXPECT_EQ(l.row(1), texts({"No.00001", "c", "d", "e", "b", "f", "a"}));

    l.grid.SelectColumns(1, 2);
    EXPECT_EQ(l.editor.moveColumnSource(), -1);
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("列を１列選択して下さい。")});
}

TEST(SheetEditor, HideAndShowAll) {
    Loaded l("a,b,c\nd,e,f\ng,h,i\nj,k,l");
    l.grid.SetFocusCell({4, 3});
    l.grid.SelectRange({4, 3, 4, 3});
    l.editor.hide();
    EXPECT_EQ(l.grid.RowHeight(4), 0);
    EXPECT_EQ(l.grid.ColumnWidth(3), 0);
    EXPECT_FALSE(l.grid.IsModified());
    l.editor.showAll();
    EXPECT_GT(l.grid.RowHeight(4), 0);
    EXPECT_GT(l.grid.ColumnWidth(3), 0);

    // A whole column (first row 1) hides only the column; data column 1 never.
    l.grid.SelectColumns(1, 1);
    l.editor.hide();
    EXPECT_GT(l.grid.ColumnWidth(1), 0);
    EXPECT_GT(l.grid.RowHeight(1), 0);
}

TEST(SheetEditor, UnterminatedQuoteIsLoadedAndReported) {
    ScriptedPrompt prompt;
    DelimitedTextOptions quoted;
    quoted.quoted = true;
    Loaded l("a\n\"b,c\nd", quoted);
    EXPECT_EQ(l.grid.CellText(2, 1), QStringLiteral("b,c\nd"));
    EXPECT_EQ(prompt.texts().size(), 1);
    EXPECT_TRUE(prompt.texts().value(0).contains(QStringLiteral("2 行目の引用符")));
}

TEST(SheetEditor, VeryWideAndVeryLongLinesLoadAndSaveBack) {
    QByteArray wide = QByteArray("a,").repeated(1000000) + "\nb";
    QByteArray longLine(10 << 20, 'x');
    for (const QByteArray& file : {wide, longLine}) {
        Loaded l(file);
        const int fields = int(file.count(',')) + 1;
        EXPECT_EQ(l.grid.ColumnTotal(), fields + 1);
        EXPECT_EQ(l.grid.CellText(0, fields), QStringLiteral("Col.%1").arg(fields));
        EXPECT_EQ(l.editor.save().status(), ResultStatus::Done);
        QByteArray expected = file;
        if (file.contains('\n'))
            expected.replace("\nb", "\r\nb" + QByteArray(",").repeated(fields - 1));
        EXPECT_EQ(l.saved(), expected);
    }
}
