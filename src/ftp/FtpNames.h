#pragma once

#include <QByteArray>
#include <QString>

// Rules for names and paths on a server. Names are bytes as the server gave them; they are
// decoded only to be shown.
namespace FtpNames {

// CR, LF or NUL: such a name, user or password would end a command early or start another one.
bool breaksCommandLine(const QByteArray& text);
bool breaksCommandLine(const QString& text);

// A server's name that may become one component of a local path: not empty, no "/", no NUL,
// not "." or "..".
bool isSafeLocalComponent(const QByteArray& name);

// `name` inside `directory`: "%s/%s", or "/%s" when the directory is "/"; an absolute name
// stands as it is.
QByteArray join(const QByteArray& directory, const QByteArray& name);

// The directory named in a PWD reply: the text between the first quote and its closing quote,
// a doubled quote standing for one. Empty when the reply names none.
QByteArray directoryOfPwdReply(const QByteArray& reply);

// The part from the name's last dot on ("" when it has none).
QByteArray extensionOf(const QByteArray& name);

// The name as a user reads it: decoded from the server's code system (0 = EUC-JP, else
// CP932), control characters shown as "\xNN" so that nothing in a name can move a line.
QString display(const QByteArray& name, int codeSystem = 1);

} // namespace FtpNames
