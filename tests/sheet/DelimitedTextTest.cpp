#include "sheet/DelimitedText.h"
#include "sheet/DelimitedFile.h"

#include "ScriptedPrompt.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;

constexpr DelimitedFormat Csv{',', false};
constexpr DelimitedFormat Tab{'\t', false};
constexpr DelimitedFormat Space{' ', false};
constexpr DelimitedFormat QuotedCsv{',', true};

// The grid a file gives: every record padded to the file's field count.
Rows readRows(const QByteArray& bytes, DelimitedFormat format, int* fieldCount = nullptr) {
    const DelimitedText::Parsed parsed = DelimitedText::parse(bytes, format);
    Rows rows;
    QList<QByteArrayView> fields;
    DelimitedText::RecordReader reader(parsed, format);
    while (reader.next(fields)) {
        EXPECT_LE(fields.size(), parsed.fieldCount) << "a record with more fields than counted";
        std::vector<std::string> row;
        for (QByteArrayView f : fields)
            row.emplace_back(f.data(), size_t(f.size()));
        row.resize(size_t(parsed.fieldCount));
        rows.push_back(row);
    }
    if (fieldCount)
        *fieldCount = parsed.fieldCount;
    EXPECT_EQ(qsizetype(rows.size()), parsed.recordCount);
    return rows;
}

// Load then save unchanged.
QByteArray roundTrip(const QByteArray& bytes, DelimitedFormat format) {
    const DelimitedText::Parsed parsed = DelimitedText::parse(bytes, format);
    DelimitedText::Writer writer(format, parsed.encoding);
    QList<QByteArrayView> fields;
    DelimitedText::RecordReader reader(parsed, format);
    while (reader.next(fields)) {
        fields.resize(parsed.fieldCount);
        writer.beginRow();
        for (QByteArrayView f : fields)
            writer.addField(f);
    }
    return writer.take();
}

struct ReadCase {
    const char* name;
    QByteArray file;
    DelimitedFormat format;
    int fieldCount;
    Rows rows;
};

QByteArray bytes(const char* s, size_t n) {
    return QByteArray(s, qsizetype(n));
}

} // namespace

TEST(DelimitedText, ReadsByTheFormatRules) {
    const std::vector<ReadCase> cases = {
        {"empty file", "", Csv, 1, {}},
        {"only empty lines", "\n\r\n\n", Csv, 1, {}},
        {"empty middle field", "a,,b", Csv, 3, {{"a", "", "b"}}},
        {"empty last field", "a,", Csv, 2, {{"a", ""}}},
        {"empty first field", ",a", Csv, 2, {{"", "a"}}},
        {"short lines padded",
         "a,b\r\nc,d,e,f,g\nh,i,j",
         Csv,
         5,
         {{"a", "b", "", "", ""}, {"c", "d", "e", "f", "g"}, {"h", "i", "j", "", ""}}},
        {"quotes are text", "\"x,y\",z", Csv, 3, {{"\"x", "y\"", "z"}}},
        {"doubled quote stays", "a\"\"b", Csv, 1, {{"a\"\"b"}}},
        {"spaces each separate", "a  b", Space, 3, {{"a", "", "b"}}},
        {"leading and trailing spaces", " a ", Space, 3, {{"", "a", ""}}},
        {"tab", "a\tb,c", Tab, 2, {{"a", "b,c"}}},
        {"line of spaces kept", "  \nx", Csv, 1, {{"  "}, {"x"}}},
        {"lone CR stays in the cell", "a\rb,c\r\n", Csv, 2, {{"a\rb", "c"}}},
        {"CR only line ends are one line", "a\rb\rc", Csv, 1, {{"a\rb\rc"}}},
        {"final line end or not", "a\nb\n", Csv, 1, {{"a"}, {"b"}}},
        {"0x1A inside is a byte",
         "a\x1A"
         "b,c\nd",
         Csv,
         2,
         {{"a\x1A"
           "b",
           "c"},
          {"d", ""}}},
        {"0x1A at the end is dropped", "a,b\x1A", Csv, 2, {{"a", "b"}}},
        {"every 0x1A at the end is dropped", "a,b\x1A\x1A", Csv, 2, {{"a", "b"}}},
        {"Shift_JIS second byte 0x5C", "\x83\x5C,x", Csv, 2, {{"\x83\x5C", "x"}}},
        {"UTF-8 byte order mark set aside",
         "\xEF\xBB\xBF"
         "a,b",
         Csv,
         2,
         {{"a", "b"}}},
        {"quoted off by default for quotes with line ends", "\"a\nb\"", Csv, 1, {{"\"a"}, {"b\""}}},
    };
    for (const ReadCase& c : cases) {
        int n = 0;
        EXPECT_EQ(readRows(c.file, c.format, &n), c.rows) << c.name;
        EXPECT_EQ(n, c.fieldCount) << c.name;
    }
}

TEST(DelimitedText, QuotedCsvFollowsRfc4180) {
    const std::vector<ReadCase> cases = {
        {"embedded delimiter", "\"a,b\",c", QuotedCsv, 2, {{"a,b", "c"}}},
        {"doubled quotes", "\"a\"\"b\",\"\"\"\"", QuotedCsv, 2, {{"a\"b", "\""}}},
        {"CR LF inside quotes",
         "\"l1\r\nl2\",x\r\ny,z",
         QuotedCsv,
         2,
         {{"l1\r\nl2", "x"}, {"y", "z"}}},
        {"empty quoted fields", "\"\",\"\"\n,", QuotedCsv, 2, {{"", ""}, {"", ""}}},
        {"quote inside an unquoted field is text", "a\"b,c", QuotedCsv, 2, {{"a\"b", "c"}}},
        {"text after the closing quote is kept", "\"ab\"cd,e", QuotedCsv, 2, {{"abcd", "e"}}},
        {"empty line inside quotes is text", "\"a\n\nb\"", QuotedCsv, 1, {{"a\n\nb"}}},
        {"tab delimiter", "\"a\tb\"\tc", DelimitedFormat{'\t', true}, 2, {{"a\tb", "c"}}},
        {"doubled quote inside an unquoted field",
         "name,size\nTV,32\"\" wide\nPC,15\nlast,\"ok\"\n",
         QuotedCsv,
         2,
         {{"name", "size"}, {"TV", "32\"\" wide"}, {"PC", "15"}, {"last", "ok"}}},
        {"doubled quote opening an unquoted field's text",
         "a\"\"b,c\nd,e,f",
         QuotedCsv,
         3,
         {{"a\"\"b", "c", ""}, {"d", "e", "f"}}},
        {"quotes after the closing quote are text",
         "\"a\"b\"c,d\n",
         QuotedCsv,
         2,
         {{"ab\"c", "d"}}},
        {"line of one empty quoted field", "\"\"\r\nx", QuotedCsv, 1, {{""}, {"x"}}},
    };
    for (const ReadCase& c : cases) {
        int n = 0;
        EXPECT_EQ(readRows(c.file, c.format, &n), c.rows) << c.name;
        EXPECT_EQ(n, c.fieldCount) << c.name;
    }
}

// Whatever the quotes, a save gives back every field a load read: the file read again holds
// the same records.
TEST(DelimitedText, QuotedRoundTripKeepsEveryField) {
    const QByteArray files[] = {
        "name,size\nTV,32\"\" wide\nPC,15\nlast,\"ok\"\n",
        "a\"\"b,c\nd,e,f",
        "a\"b\"c,\"\"\"\"\r\n\"x\"y\"z\",\"\"",
        "\"\"\n,\n\"\r\"\n\"a\nb\",\"c\r\nd\"\r\n",
        "x,\"open\"\"\nquote,never,closed",
        "\"one\"\r\n\r\n  \"two\"  ,three\r",
    };
    for (const QByteArray& file : files) {
        const Rows loaded = readRows(file, QuotedCsv);
        const QByteArray saved = roundTrip(file, QuotedCsv);
        EXPECT_EQ(readRows(saved, QuotedCsv), loaded) << file.toStdString();
        EXPECT_EQ(roundTrip(saved, QuotedCsv), saved) << file.toStdString();
    }
}

TEST(DelimitedText, UnterminatedQuoteTakesTheRestAndSaysWhere) {
    const QByteArray file = "a\n\"b,c\nd";
    EXPECT_EQ(readRows(file, QuotedCsv), (Rows{{"a"}, {"b,c\nd"}}));
    EXPECT_EQ(DelimitedText::parse(file, QuotedCsv).unterminatedQuoteLine, 2);
    EXPECT_EQ(DelimitedText::parse("\"a\"\n\"b\"", QuotedCsv).unterminatedQuoteLine, 0);
    EXPECT_EQ(DelimitedText::unterminatedQuoteMessage(QStringLiteral("/d/x.csv"), 2),
              QStringLiteral("/d/x.csv の 2 行目の引用符(\")が閉じられていません。\n"
                             "ファイルの終わりまでを１つのセルとして読み込みました。"));
}

TEST(DelimitedText, LoadThenSaveGivesTheFileBack) {
    struct Case {
        const char* name;
        QByteArray file;
        DelimitedFormat format;
        QByteArray saved;
    };
    const std::vector<Case> cases = {
        {"unchanged", "a,b\r\nc,d", Csv, "a,b\r\nc,d"},
        {"Part's normalisations", "a,b,c\n\nd\n", Csv, "a,b,c\r\nd,,"},
        {"0x1A inside kept, final one dropped",
         "a\x1A"
         "b,c\x1A",
         Csv,
         "a\x1A"
         "b,c"},
        {"invalid CP932 bytes", bytes("\x81,\xFF\xA0,\x82\xA0", 9), Csv,
         bytes("\x81,\xFF\xA0,\x82\xA0", 9)},
        {"Shift_JIS text", "\x93\xfa\x96\x7b,\x83\x5C", Csv, "\x93\xfa\x96\x7b,\x83\x5C"},
        {"UTF-8 with byte order mark", "\xEF\xBB\xBF\xE6\x97\xA5,b", Csv,
         "\xEF\xBB\xBF\xE6\x97\xA5,b"},
        {"UTF-8 without", "\xE6\x97\xA5,b\r\nc,d", Csv, "\xE6\x97\xA5,b\r\nc,d"},
        {"quoted fields written by a spreadsheet program",
         "id,text\r\n1,\"a,b\"\r\n2,\"say \"\"hi\"\"\"\r\n3,\"l1\r\nl2\"", QuotedCsv,
         "id,text\r\n1,\"a,b\"\r\n2,\"say \"\"hi\"\"\"\r\n3,\"l1\r\nl2\""},
        {"needless quotes are dropped", "\"a\",b", QuotedCsv, "a,b"},
        {"one empty field stays a line", "x\n\"\"\ny", QuotedCsv, "x\r\n\"\"\r\ny"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(roundTrip(c.file, c.format), c.saved) << c.name;
}

TEST(DelimitedText, CellsThatWouldChangeTheLayoutAreFound) {
    struct Case {
        const char* field;
        char delimiter;
        bool breaks;
    };
    const Case cases[] = {{"a b", ',', false}, {"a,b", ',', true},  {"a\tb", '\t', true},
                          {"a b", ' ', true},  {"a\nb", ',', true}, {"a\rb", ',', false}};
    // The writer's look at the whole text agrees, after a byte order mark and a long row of
    // delimiters.
    const auto written = [](char delimiter, QByteArrayView field) {
        DelimitedText::Writer writer({delimiter, false}, TextEncoding::Utf8Bom);
        writer.beginRow();
        for (int k = 0; k < 600; ++k)
            writer.addField({});
        writer.beginRow();
        writer.addField("x");
        writer.addField(field);
        return writer.fieldsBreakLayout();
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DelimitedText::breaksLayout(c.field, c.delimiter), c.breaks) << c.field;
        EXPECT_EQ(written(c.delimiter, c.field), c.breaks) << c.field;
    }
    EXPECT_EQ(
        DelimitedText::layoutQuestion(QStringLiteral("No.00003"), QStringLiteral("Col.2"), '\t'),
        QStringLiteral("セル（No.00003, Col.2）に区切文字（TAB）か改行が有る為、"
                       "読み直すと列か行が増えます。\nこのまま保存しますか？"));
}

// Sent in pieces the text is the same; each piece ends with a whole row, only the one with a
// field holding the delimiter says it breaks the layout, and a sink that refuses stops it all.
TEST(DelimitedText, WriterSendsWholeRowsInPieces) {
    const std::vector<std::vector<QByteArray>> rows = {
        {"a", "b"}, {"cc", "d"}, {"x,y", "e"}, {"f", ""}, {"g"}};
    for (const bool quoted : {false, true}) {
        const DelimitedFormat format{',', quoted};
        DelimitedText::Writer whole(format, TextEncoding::Utf8Bom);
        DelimitedText::Writer pieces(format, TextEncoding::Utf8Bom);
        DelimitedText::Writer refused(format, TextEncoding::Cp932);
        QByteArray sent;
        QList<bool> breaks;
        int refusals = 0;
        pieces.sendTo(
            [&](QByteArrayView text, bool breaksLayout) {
                sent += text;
                breaks << breaksLayout;
                return true;
            },
            4);
        refused.sendTo([&](QByteArrayView, bool) { return ++refusals > 1; }, 1);
        for (const auto& row : rows) {
            for (DelimitedText::Writer* w : {&whole, &pieces, &refused}) {
                w->beginRow();
                for (const QByteArray& field : row)
                    w->addField(field);
            }
        }
        ASSERT_TRUE(pieces.finish());
        EXPECT_EQ(sent, whole.take());
        EXPECT_EQ(breaks, (QList<bool>{false, false, !quoted, false, false}));
        EXPECT_TRUE(refused.stopped());
        EXPECT_FALSE(refused.finish());
        EXPECT_EQ(refusals, 1);
    }
}

TEST(DelimitedFile, BadFilesAreRefusedWithAMessage) {
    TempDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.csv"));
    const QString binary = dir.write(QStringLiteral("b.csv"), bytes("a,\0b", 4));
    const QString huge = dir.filePath(QStringLiteral("huge.csv"));
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(DelimitedFile::MaxFileSize + 1));
    }
    const struct {
        QString path;
        QString error;
    } cases[] = {
        {missing, missing + QStringLiteral(" ファイルがOPEN出来ませんでした。")},
        {dir.path(), dir.path() + QStringLiteral(" ファイルがOPEN出来ませんでした。")},
        {binary, binary + QStringLiteral(" はバイナリファイルの為、開けません。")},
        {huge, huge + QStringLiteral(" は大きすぎる為（256 MB）、スプレット画面では開けません。")},
    };
    for (const auto& c : cases) {
        const Result<QByteArray> r = DelimitedFile::read(c.path);
        EXPECT_FALSE(r.ok());
        EXPECT_EQ(r.message(), c.error);
    }
}

TEST(DelimitedFile, SaveReplacesTheFileKeepingItsModeOrLeavesItAlone) {
    TempDir dir;
    const QString target = dir.write(QStringLiteral("a.csv"), "old");
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ScriptedPrompt prompt;
    EXPECT_EQ(DelimitedFile::write(target, "new").status(), ResultStatus::Done);
    EXPECT_EQ(readFileBytes(target), QByteArray("new"));
    EXPECT_EQ(QFile::permissions(target) & 0x0FFF, QFileDevice::ReadUser | QFileDevice::WriteUser);

    // A target that is a folder cannot be replaced: the message names it and nothing changes.
    const QString folder = dir.filePath(QStringLiteral("sub"));
    ASSERT_TRUE(QDir().mkdir(folder));
    dir.write(QStringLiteral("sub/keep.csv"), "keep");
    const Result<> written = DelimitedFile::write(folder, "x");
    EXPECT_EQ(written.status(), ResultStatus::Failed);
    EXPECT_EQ(written.message(), folder + QStringLiteral(" ファイルに書き込み出来ません。"));
    EXPECT_EQ(dir.read(QStringLiteral("sub/keep.csv")), QByteArray("keep"));
}
