// The icon files as Windows' own loader reads them from the exe: every size
// the tray and the balloon may ask for is there, 32-bit with real alpha.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kTrayIcon = 1;
constexpr int kBalloonIcon = 2;

struct Entry {
    int widthPx = 0;
    int heightPx = 0;
    HICON icon = nullptr;
};

// Picks the image of the icon group the way LoadImage does and reads its size
// from the image's own header (a PNG's IHDR or a BITMAPINFOHEADER).
Entry LoadEntry(int groupId, int sizePx) {
    HMODULE exe = GetModuleHandleA(nullptr);
    HRSRC group = FindResourceA(exe, MAKEINTRESOURCEA(groupId), RT_GROUP_ICON);
    if (!group) {
        return {};
    }
    auto* directory = static_cast<BYTE*>(LockResource(LoadResource(exe, group)));
    int imageId = LookupIconIdFromDirectoryEx(directory, TRUE, sizePx, sizePx, LR_DEFAULTCOLOR);
    HRSRC image = FindResourceA(exe, MAKEINTRESOURCEA(imageId), RT_ICON);
    if (!image) {
        return {};
    }
    auto* bytes = static_cast<BYTE*>(LockResource(LoadResource(exe, image)));
    DWORD sizeBytes = SizeofResource(exe, image);
    Entry entry;
    if (sizeBytes > 24 && std::memcmp(bytes, "\x89PNG", 4) == 0) {
        entry.widthPx = (bytes[16] << 24) | (bytes[17] << 16) | (bytes[18] << 8) | bytes[19];
        entry.heightPx = (bytes[20] << 24) | (bytes[21] << 16) | (bytes[22] << 8) | bytes[23];
    } else if (sizeBytes >= sizeof(BITMAPINFOHEADER)) {
        auto* header = reinterpret_cast<BITMAPINFOHEADER*>(bytes);
        entry.widthPx = header->biWidth;
        entry.heightPx = header->biHeight / 2;  // colour and mask stacked
    }
    entry.icon = CreateIconFromResourceEx(bytes, sizeBytes, TRUE, 0x00030000, sizePx, sizePx,
                                          LR_DEFAULTCOLOR);
    return entry;
}

// The icon's colour bitmap as top-down 32-bit pixels.
std::vector<RGBQUAD> Pixels(HICON icon, int sizePx) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) {
        return {};
    }
    std::vector<RGBQUAD> pixels(sizePx * sizePx);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = sizePx;
    format.bmiHeader.biHeight = -sizePx;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, info.hbmColor, 0, sizePx, pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    if (rows != sizePx) {
        return {};
    }
    return pixels;
}

}  // namespace

TEST(IconsTest, EverySizeIsItsOwnImageWithAlpha) {
    const struct {
        int groupId;
        int sizePx;
    } cases[] = {
        {kTrayIcon, 16}, {kTrayIcon, 32}, {kTrayIcon, 48}, {kTrayIcon, 256}, {kBalloonIcon, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("icon " + std::to_string(c.groupId) + " at " + std::to_string(c.sizePx) + " px");
        Entry entry = LoadEntry(c.groupId, c.sizePx);
        EXPECT_EQ(entry.widthPx, c.sizePx) << "no image of that size: Windows would scale another";
        EXPECT_EQ(entry.heightPx, c.sizePx);
        ASSERT_NE(entry.icon, nullptr);
        std::vector<RGBQUAD> pixels = Pixels(entry.icon, c.sizePx);
        DestroyIcon(entry.icon);
        ASSERT_EQ(pixels.size(), static_cast<size_t>(c.sizePx * c.sizePx));
        // The tile's rounded corner is see-through; its middle is solid.
        EXPECT_EQ(pixels.front().rgbReserved, 0);
        EXPECT_EQ(pixels[(c.sizePx / 2) * c.sizePx + c.sizePx / 2].rgbReserved, 255);
    }
}
