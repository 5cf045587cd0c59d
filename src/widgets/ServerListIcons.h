#pragma once

#include <QIcon>

// The six 16x16 images of the server and PC lists: 0 folder, 1 ordinary file, 2..5 the four
// icons a server filter row can choose ("NO.1".."NO.4" on the server filter page).
namespace ServerListIcons {

constexpr int Count = 6;
constexpr int Folder = 0;
constexpr int PlainFile = 1;
constexpr int FirstFilterIcon = 2;

// The image `index` (0..5); any other index gives the ordinary file image.
QIcon image(int index);

} // namespace ServerListIcons
