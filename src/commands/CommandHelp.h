#pragma once

#include <QString>

// The help text of a command: what the message pane of the status bar shows while the pointer
// rests on the command's menu item or toolbar button. Empty for an unknown id.
QString commandHelp(int command);
