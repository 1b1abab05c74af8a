#pragma once

#include <span>

// The program's pictures, embedded as PNG files (RCDATA resources whose ids
// are the enum values; resources/Pictures.rc lists them).
namespace resources {

enum class Picture : int {
    StripBackground1 = 1001,  // background for n rows is 1000 + n, up to 1041
    FrameNormal = 1101, FrameRed = 1102, FrameYellow = 1103,
    AddNormal = 1201, AddHover = 1202, AddPressed = 1203,
    HelpNormal = 1211, HelpHover = 1212, HelpPressed = 1213,
    CloseNormal = 1221, CloseHover = 1222, ClosePressed = 1223,
    ClockWhite = 1231, ClockBlack = 1232, ClockGreen = 1233, ClockYellow = 1234,
    DeleteNormal = 1241, DeleteHover = 1242, DeletePressed = 1243,
    BalloonLogo = 1251,
    HelpBackground = 1301,
    HelpCloseNormal = 1311, HelpCloseHover = 1312, HelpClosePressed = 1313,
    ProductNormal = 1321, ProductHover = 1322, ProductPressed = 1323,
    PaletteNormal = 1331, PaletteHover = 1332, PalettePressed = 1333,
    ChatNormal = 1341, ChatHover = 1342, ChatPressed = 1343,
    MessageNormal = 1351, MessageHover = 1352, MessagePressed = 1353,
};

// Row counts outside 1..41 get the nearest background: past 41 rows the
// strip keeps the tallest one.
Picture StripBackground(int rowCount);

// The embedded PNG bytes (RCDATA resource of that id in the running exe);
// empty when missing. The bytes live as long as the process.
std::span<const unsigned char> PictureBytes(Picture picture);

}  // namespace resources
