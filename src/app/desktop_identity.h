// How the desktop knows the program: its application name, the id shared by its desktop
// entry, icon and metainfo, and the window icon drawn for it.
#pragma once

#include <QIcon>

#include <iterator>

namespace DesktopIdentity {

// The per-user folders are named after the application name, so every program that reads
// the player's files must set the same one.
inline constexpr char kApplicationName[] = "Lexmire";
// The reverse-DNS id: the desktop entry is "<id>.desktop", the icon "<id>.png" or ".svg",
// the metainfo "<id>.metainfo.xml".
inline constexpr char kDesktopId[] = "io.github.lexmire.Lexmire";

// The sizes the icon is drawn in, smallest first; each is embedded and installed.
inline constexpr int kIconSizes[] = { 16, 24, 32, 48, 64, 128, 256, 512 };

// ":/icons/hicolor/<size>x<size>/apps/<id>.png", the embedded picture of one size.
QString iconResource(int size);

// The program's icon in every size drawn for it up to largestSize; needs a QGuiApplication.
QIcon windowIcon(int largestSize = kIconSizes[std::size(kIconSizes) - 1]);

} // namespace DesktopIdentity
