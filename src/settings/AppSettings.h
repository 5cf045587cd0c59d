#pragma once

#include "settings/NetworkSettings.h"
#include "settings/ProfileTable.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

class IniFile;

// Every persistent setting, named by its INI key and grouped by INI section in file order.
struct AppSettings {
    static constexpr int ProfileCount = ProfileTable::Count;
    static constexpr int KeywordCount = 10;
    static constexpr int FilterKinds = 5;
    static constexpr int ServerExtensions = 15;
    static constexpr int SavedSearchHistory = 20;

    // [Pos]
    int Save = 0;
    int ToolBar = 1;
    int FindBox = 1;
    int Show = 5;
    int Left = 0;
    int Top = 0;
    int Right = 750;
    int Bottom = 530;

    // [Env]
    QString PcDir = QStringLiteral(".");
    QString TranDir = QStringLiteral(".");
    QString StringFile = QStringLiteral("KeyString.txt");
    int SvFileDel = 1;
    int BackColor = 0xFFFFFF;
    int ForeColor = 0;
    int Bold = 0;
    int Italic = 0;
    int Keyword1 = 0xFF0000;
    int Keyword2 = 0x0000FF;
    QString FontName = QStringLiteral("ＭＳ ゴシック");
    QString FontSize = QStringLiteral("11");
    int WordWrap = 0;
    int WindBar = 1;
    int TabCount = 8;
    int AutoUrl = 1;
    int DelEOF = 1;

    // [View], keys of later versions, each written once it differs from its default: the
    // editor's line numbers, caret-line and matching-bracket highlights, visible spaces, tabs
    // and line ends, and folding.
    struct EditorView {
        int LineNumbers = 1;
        int CaretLine = 0;
        int BraceMatch = 0;
        int ShowBlanks = 0;
        int Folding = 0;
        bool operator==(const EditorView&) const = default;
    } View;

    // [Filter]
    std::array<QString, FilterKinds> Title = {QStringLiteral("TXTﾌｧｲﾙ"), QStringLiteral("CSVﾌｧｲﾙ"),
                                              QStringLiteral("HTMLﾌｧｲﾙ"), QStringLiteral("CGIﾌｧｲﾙ"),
                                              QStringLiteral("全てのﾌｧｲﾙ")};
    std::array<QString, FilterKinds> Kind = {QStringLiteral("*.txt;*.log"), QStringLiteral("*.csv"),
                                             QStringLiteral("*.htm;*.html;*.shtml"),
                                             QStringLiteral("*.cgi;*.pl;*.js"),
                                             QStringLiteral("*.*")};

    // [SvFilter]
    int ExtFlt = 0;
    std::array<QString, ServerExtensions> Ext = {QStringLiteral(".tif"),
                                                 QStringLiteral(".gif"),
                                                 QStringLiteral(".jpg"),
                                                 QStringLiteral(".bmp"),
                                                 QStringLiteral(".mpg"),
                                                 QString(),
                                                 QString(),
                                                 QString(),
                                                 QString(),
                                                 QStringLiteral(".lzh"),
                                                 QStringLiteral(".zip"),
                                                 QStringLiteral(".pdf"),
                                                 QStringLiteral(".doc"),
                                                 QStringLiteral(".xls"),
                                                 QStringLiteral(".ppt")};
    std::array<int, ServerExtensions> Icon = {0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 0, 3, 3, 3};

    // [Server]
    int DefaultDisp = 1;
    int DefaultNo = 0;
    int FtpUse = 1;

    // [Server00]..[Server04]
    ProfileTable Profiles;

    // [Network]
    NetworkSettings Network;

    // [KeyWord]
    std::array<QString, KeywordCount> Key1;
    std::array<QString, KeywordCount> Key2;

    // [Search], newest first
    QStringList SearchHistory;

    // Reads every key in file order; a missing key keeps the value held now (the profile
    // sections fall back to their literal defaults instead).
    void load(const IniFile& ini);
    // Writes every key in the same order, the search history as exactly 20 keys. A text the
    // file cannot hold keeps the line it had; returns those keys as "[Section] Key".
    [[nodiscard]] QStringList store(IniFile& ini) const;

    // The file-type list of every local file dialog, in Qt's form: one "Title (*.a *.b)" entry
    // per kind that has a title. The kind "*.*" means every file, with or without a dot.
    QStringList BuildPcFileFilter() const;

    // The editor font size in points: the integer value of FontSize, read as an integer key is.
    int fontPoints() const { return fontPointsOf(FontSize); }
    static int fontPointsOf(const QString& fontSize);
    // The largest size in points the editor's font may have.
    static constexpr int MaxFontPoints = 1638;

    // DefaultNo held inside 0..4, whatever the file said.
    int defaultProfileIndex() const;
    bool operator==(const AppSettings&) const = default;
};

// The settings file of the program: "Vantorpad.ini" in the given directory.
QString settingsFilePath(const QString& directory);

// Loads the settings file of `directory` into `settings`; a missing or unreadable file leaves the
// defaults. Returns false when the file exists but could not be read.
bool LoadSettings(AppSettings& settings, const QString& directory);
// Why the settings file cannot hold `text` unchanged: a character CP932 lacks or a line break,
// or more bytes than a value holds (IniFile::MaxValueBytes, counted in CP932).
enum class SettingsTextFault { None, Unstorable, TooLong };
SettingsTextFault settingsTextFault(const QString& text);
// Writes `text` as the value of `key`, cut to 255 bytes. A text the file cannot hold is never
// written altered: the key keeps the line it had and the result is false.
[[nodiscard]] bool writeSettingsText(IniFile& ini, QByteArrayView section, QByteArrayView key,
                                     const QString& text);

// Writes `settings`, and whatever `storeMore` adds, over the file of `directory`, keeping every
// line the program does not own. `storeMore` returns the keys it could not write, as store()
// does. Returns true only when every value was written; a file that cannot be read or replaced
// is left untouched. What was not saved is reported on stderr.
[[nodiscard]] bool SaveSettings(const AppSettings& settings, const QString& directory,
                                const std::function<QStringList(IniFile&)>& storeMore = {});
