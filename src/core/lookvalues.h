#pragma once

#include <QLatin1String>
#include <QtGlobal>

// The program's colours and font faces as plain values, for every layer that draws: the controls
// turn them into palettes and fonts, the windows' look (ui/look.h) adds its pictures and panels.
namespace zelvo::core::look {

// 0xRRGGBB
inline constexpr quint32 mainBackground = 0xe8e9fe;
inline constexpr quint32 toolBar = 0x5f67a0;
inline constexpr quint32 childBackground = 0x92acdc;
inline constexpr quint32 gridAlternate = 0xcfd8de;
inline constexpr quint32 gridCurrent = 0x0000a0;

// The faces the windows name; Debian's stand-ins are installed as substitutions at start.
inline constexpr QLatin1String verdana{"Verdana"};
inline constexpr QLatin1String centuryGothic{"Century Gothic"};

// The pixel sizes of the data grids' cells and titles.
inline constexpr int gridBodyPixels = 13;
inline constexpr int gridTitlePixels = 11;

} // namespace zelvo::core::look
