#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <optional>

// Rules for names and paths on a server. Names are bytes as the server gave them; they are
// decoded only to be shown.
namespace FtpNames {

// CR, LF or NUL: such a name, user or password would end a command early or start another one.
bool breaksCommandLine(const QByteArray& text);
bool breaksCommandLine(const QString& text);
// "名前に使用出来ない文字が含まれています。": a name no server may be sent.
QString unusableNameMessage();

// A server's name that may become one component of a local path: not empty, not "." or "..",
// no "/", no control character (NUL, CR, LF, ESC... and DEL); the decoded name no backslash,
// no C1 control, decoded or as a byte that is no character (0x9B alone), and no bidirectional
// control.
bool isSafeLocalComponent(const QByteArray& name);
bool isSafeLocalComponent(const QString& name);

// The part of a server path after its last "/".
QByteArray lastComponent(const QByteArray& path);

// The one way a server's file name becomes a local path: the name decoded from the server's
// code system (0 = EUC-JP, 2 = UTF-8, else CP932), lower-cased by the "NameSmall" rule when asked,
// inside `directory`. Nothing when the name is not a safe local component or the result would not
// lie directly in `directory`: the caller refuses the download with unreceivableMessage.
std::optional<QString> localPathFor(const QString& directory, const QByteArray& name,
                                    int codeSystem, bool nameSmall);
// "サーバのファイル名 %s は受信出来ません。", or that the name is too long for a local file
// (more than 255 bytes); a name of thousands of bytes is shown cut short.
QString unreceivableMessage(const QByteArray& name, int codeSystem = 1);
// The same for several names, in one message.
QString unreceivableMessage(const QByteArrayList& names, int codeSystem);
// A local path a download may write: its last component is a safe name and no component
// climbs out with "..".
bool isSafeLocalTarget(const QString& path);

// The "NameSmall" rule, the same on the way down and the way up: ASCII letters are lower-cased,
// every other character (full-width and Greek letters too) keeps its case.
QString lowerCaseAscii(const QString& name);

// A name typed or listed on the PC as the server's bytes in `codeSystem` (0 = EUC-JP, else
// CP932); nothing when that code system cannot hold it. A '?' in place of a character would
// name another file, so no name is ever sent that way.
std::optional<QByteArray> encodeForServer(const QString& name, int codeSystem);
// The server name a local file takes when it is uploaded or saved: lower-cased by the
// "NameSmall" rule when asked, then encodeForServer.
std::optional<QByteArray> serverNameFor(const QString& localName, int codeSystem, bool nameSmall);
// "ファイル名 %s はサーバの文字コードで表せません。"
QString unencodableMessage(const QString& name);

// `name` inside `directory`: "%s/%s", or "/%s" when the directory is "/"; an absolute name
// stands as it is.
QByteArray join(const QByteArray& directory, const QByteArray& name);

// The directory named in a PWD reply: the text between the first quote and its closing quote,
// a doubled quote standing for one. Empty when the reply names none.
QByteArray directoryOfPwdReply(const QByteArray& reply);

// The part from the name's last dot on ("" when it has none).
QByteArray extensionOf(const QByteArray& name);

// The name decoded from the server's code system, a byte that is no character of it as
// U+DC00 + byte (encodeForServer gives the same bytes back).
QString decodeName(const QByteArray& name, int codeSystem);

// The name as a user reads it: decoded from the server's code system (0 = EUC-JP, else
// CP932), C0 and C1 control characters, bytes that are no character and bidirectional controls
// (U+202E...) shown as "\xNN", so that nothing in a name can move a line, talk to a terminal or
// turn "txt.exe" round to read "exe.txt". A name holding a control or a bidirectional control
// never becomes a local path (isSafeLocalComponent).
QString display(const QByteArray& name, int codeSystem = 1);

} // namespace FtpNames
