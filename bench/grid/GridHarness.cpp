// A window with a grid to look at and try by hand: headings "Col.n" and "No.nnnnn", Japanese and
// ASCII texts, a long text that ends in an ellipsis, a sort mark, a hidden column and the light
// yellow data background the spreadsheet uses. Rows come from the first argument (default 200).
#include "encoding/LosslessCodec.h"
#include "grid/CGridCtrl.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int rows = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 200;
    CGridCtrl grid;
    GridModel& m = grid.model();
    (void)m.SetColumnTotal(9);
    (void)m.SetRowTotal(rows + 1);
    (void)m.SetFixedRowTotal(1);
    (void)m.SetFixedColumnTotal(1);
    m.DefaultCell(false, false).SetBackClr(0xFFFFE0);
    const QString words[] = {QStringLiteral("東京都千代田区"), QStringLiteral("abc"),
                             QStringLiteral("サーバのファイルを編集する長いテキストです"),
                             QStringLiteral("12345")};
    for (int c = 1; c < 9; ++c)
        (void)m.SetCellText(0, c, QStringLiteral("Col.%1").arg(c));
    for (int r = 1; r <= rows; ++r) {
        (void)m.SetCellText(r, 0, QStringLiteral("No.%1").arg(r, 5, 10, QLatin1Char('0')));
        for (int c = 1; c < 9; ++c)
            (void)m.SetCellText(r, c, words[(r + c) % 4]);
    }
    m.SetColumnWidth(0, 80);
    m.SetColumnWidth(6, 0);
    m.MarkModified(false);
    (void)m.SortByColumn(3, false);
    grid.SetFocusCellTo({3, 3});
    grid.SetFocusCellTo({5, 4}, true);
    grid.resize(900, 500);
    grid.setWindowTitle(QStringLiteral("grid"));
    grid.show();
    return app.exec();
}
