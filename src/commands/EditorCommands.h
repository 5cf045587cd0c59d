#pragma once

// Command ids that the editor view handles or shows in its right-click menu, beside those of
// commands/Command.h.
namespace EditorCommand {
constexpr int ToUpper = 199;
constexpr int ToLower = 200;
constexpr int Keyword1Upper = 201;
constexpr int Keyword1Lower = 202;
constexpr int Keyword2Upper = 203;
constexpr int Keyword2Lower = 204;
constexpr int HalfKanaToFull = 205;
constexpr int HalfToFull = 206;
constexpr int FullToHalf = 207;
constexpr int HiraganaToKatakana = 208;
constexpr int KatakanaToHiragana = 209;
constexpr int JumpLine = 32769;
constexpr int InsertDateTime = 32777;
constexpr int InsertSpecialString = 32791;
constexpr int FindToBox = 32794;
constexpr int FindDown = 32795;
constexpr int FindUp = 32796;
// "サーバ上のファイルと比較": the document beside its file as the server (or the disk) has it.
constexpr int CompareWithFile = 32797;
constexpr int EditCopy = 57634;
constexpr int EditCut = 57635;
constexpr int EditFind = 57636;
constexpr int EditPaste = 57637;
constexpr int EditPasteSpecial = 57639;
constexpr int EditRepeat = 57640;
constexpr int EditReplace = 57641;
constexpr int EditSelectAll = 57642;
constexpr int FormatFont = 57696;
} // namespace EditorCommand
