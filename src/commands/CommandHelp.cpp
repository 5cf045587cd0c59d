#include "commands/CommandHelp.h"

#include "commands/Command.h"
#include "commands/EditorCommands.h"
#include "settings/RecentFileList.h"

namespace {

using namespace EditorCommand;

struct Help {
    int command;
    const char16_t* text;
};

const Help HelpTexts[] = {
    {CmdFileNew, u"新しいドキュメントを作成します"},
    {CmdFileOpen, u"パソコンのファイルを開きます"},
    {CmdOpenServerFile, u"サーバのファイルを開きます"},
    {CmdInsertFile, u"ファイルの内容をカーソル位置に読み込みます"},
    {CmdFileClose, u"作業中のドキュメントを閉じます"},
    {CmdFileSave, u"作業中のドキュメントを上書きして保存します"},
    {CmdFileSaveAs, u"作業中のドキュメントに名前を付けて保存します"},
    {CmdSaveToServer, u"作業中のドキュメントをサーバに保存します"},
    {CmdReload, u"作業中のドキュメントを読み込み直します"},
    {CompareWithFile,
     u"作業中のドキュメントをサーバ上 (ローカルのファイルはディスク上) のファイルと比較します"},
    {CmdFtpTransfer, u"FTP転送画面を開きます"},
    {CmdFilePageSetup, u"プリンタと用紙の設定を変更します"},
    {CmdFilePrint, u"作業中のドキュメントを印刷します"},
    {CmdFilePrintDirect, u"作業中のドキュメントをそのまま印刷します"},
    {CmdFilePrintPreview, u"印刷イメージを表示します"},
    {CmdAppExit, u"アプリケーションを終了します"},
    {CmdEditUndo, u"直前の操作を元に戻します"},
    {CmdEditRedo, u"元に戻した操作をやり直します"},
    {EditCut, u"選択範囲を切り取ってクリップボードに入れます"},
    {EditCopy, u"選択範囲をクリップボードにコピーします"},
    {EditPaste, u"クリップボードの内容を貼り付けます"},
    {EditPasteSpecial, u"クリップボードの内容を形式を選択して貼り付けます"},
    {EditSelectAll, u"ドキュメント全体を選択します"},
    {EditFind, u"文字列を検索します"},
    {EditRepeat, u"検索BOXの文字列を下方向に検索します"},
    {EditReplace, u"文字列を置換します"},
    {FindToBox, u"選択中の文字列を検索BOXに入れます"},
    {FindDown, u"検索BOXの文字列を下方向に検索します"},
    {FindUp, u"検索BOXの文字列を上方向に検索します"},
    {CmdViewToolbar, u"ツール バーの表示と非表示を切り替えます"},
    {CmdViewStatusBar, u"ステータス バーの表示と非表示を切り替えます"},
    {CmdToolbarSize, u"ツール バーのボタンの文字列の表示と非表示を切り替えます"},
    {CmdFindBox, u"検索BOXの表示と非表示を切り替えます"},
    {CmdOptions, u"サーバやエディタの設定を変更します"},
    {CmdKeywordSettings, u"色分けと大文字小文字変換のキーワードを設定します"},
    {CmdKeywordColour, u"キーワードを色分けして表示します"},
    {FormatFont, u"選択範囲のフォントを変更します"},
    {CmdSpreadsheet, u"作業中のドキュメントをスプレット画面で編集します"},
    {InsertDateTime, u"日付と時刻をカーソル位置に挿入します"},
    {InsertSpecialString, u"特定文字列をカーソル位置に挿入します"},
    {JumpLine, u"指定した行へカーソルを移動します"},
    {ToUpper, u"選択範囲の英字を大文字に変換します"},
    {ToLower, u"選択範囲の英字を小文字に変換します"},
    {Keyword1Upper, u"選択範囲のキーワード1を大文字に変換します"},
    {Keyword1Lower, u"選択範囲のキーワード1を小文字に変換します"},
    {Keyword2Upper, u"選択範囲のキーワード2を大文字に変換します"},
    {Keyword2Lower, u"選択範囲のキーワード2を小文字に変換します"},
    {HalfKanaToFull, u"選択範囲の半角カナを全角カナに変換します"},
    {HalfToFull, u"選択範囲の半角文字を全角文字に変換します"},
    {FullToHalf, u"選択範囲の全角文字を半角文字に変換します"},
    {HiraganaToKatakana, u"選択範囲のひらがなをカタカナに変換します"},
    {KatakanaToHiragana, u"選択範囲のカタカナをひらがなに変換します"},
    {CmdWindowCascade, u"ウィンドウを重ねて表示します"},
    {CmdWindowTile, u"ウィンドウを並べて表示します"},
    {CmdHelp, u"ヘルプを表示します"},
    {CmdAppAbout, u"プログラムのバージョン情報を表示します"},
};

} // namespace

QString commandHelp(int command) {
    if (command >= CmdFileMru1 && command < CmdFileMru1 + RecentFileList::Size)
        return QStringLiteral("このファイルを開きます");
    for (const Help& h : HelpTexts)
        if (h.command == command)
            return QString::fromUtf16(h.text);
    return {};
}
