// Start-up, pictures decoded from bytes, the shared store and memory streams.
#include <objidl.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <array>

#include "tests/skin/SkinTestSupport.h"

namespace {

namespace gp = Gdiplus::DllExports;
using namespace skin_test;

// Two 3x2 frames, red then blue, made by hand for this test.
constexpr std::array<unsigned char, 91> kTwoFrameGif = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x03, 0x00, 0x02, 0x00, 0x80, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF,
    0x21, 0xFF, 0x0B, 0x4E, 0x45, 0x54, 0x53, 0x43, 0x41, 0x50, 0x45, 0x32, 0x2E, 0x30, 0x03, 0x01, 0x00, 0x00, 0x00,
    0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x02, 0x00, 0x00, 0x02,
    0x05, 0x04, 0x41, 0x10, 0x04, 0x51, 0x00, 0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00,
    0x00, 0x03, 0x00, 0x02, 0x00, 0x00, 0x02, 0x05, 0x0C, 0xC3, 0x30, 0x0C, 0x53, 0x00, 0x3B};

uint32_t PicturePixel(skin::SkinImage picture, int x, int y) {
    Gdiplus::ARGB color = 0;
    gp::GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(picture), x, y, &color);
    return color;
}

TEST(StartSkinModule, RegistersTheLoadDialogClass) {
    WNDCLASSEXA info{sizeof info};
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), skin::kLoadDialogClass, &info));
    EXPECT_EQ(info.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(info.lpfnWndProc, skin::LoadDialogWndProc);
    EXPECT_EQ(info.hbrBackground, reinterpret_cast<HBRUSH>(16));
    EXPECT_EQ(info.hCursor, LoadCursor(nullptr, IDC_ARROW));
}

TEST(LoadDialog, DestroyingItFreesThePictureItWasGiven) {
    HWND dialog = CreateWindowExA(0, skin::kLoadDialogClass, "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(dialog);
    skin::SkinImage picture = SolidPicture(4, 4, 0xFF00FF00);
    skin::SkinHandleCounts before = skin::CountSkinHandles();
    skin::SetSkinProp(dialog, skin::kPropImage, reinterpret_cast<intptr_t>(picture));
    DestroyWindow(dialog);
    skin::SkinHandleCounts after = skin::CountSkinHandles();
    EXPECT_EQ(after.gdiplusObjects, before.gdiplusObjects - 1);
    EXPECT_EQ(after.streams, before.streams - 1);
}

TEST(ToWideText, GivesUtf16BytesWithTheTerminator) {
    // "备忘" in GBK.
    std::vector<unsigned char> wide = skin::ToWideText("a\xB1\xB8\xCD\xFC");
    std::vector<unsigned char> expected = {'a', 0, 0x07, 0x59, 0xD8, 0x5F, 0, 0};
    EXPECT_EQ(wide, expected);
    EXPECT_EQ(skin::ToWideText("").size(), 2u);
}

TEST(LoadImageFromBytes, BytesThatDoNotDecodeGiveNoPicture) {
    const std::vector<unsigned char> png = MakeSolidPng(5, 5, 0xFF112233);
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"not a picture", {'h', 'e', 'l', 'l', 'o'}},
        {"png cut short", std::vector<unsigned char>(png.begin(), png.begin() + 20)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        skin::SkinHandleCounts before = skin::CountSkinHandles();
        EXPECT_EQ(skin::LoadImageFromBytes(c.bytes), nullptr);
        skin::SkinHandleCounts after = skin::CountSkinHandles();
        EXPECT_EQ(after.streams, before.streams);
        EXPECT_EQ(after.gdiplusObjects, before.gdiplusObjects);
    }
}

TEST(LoadImageFromBytes, PngKeepsItsHeaderSizeAndPixels) {
    const struct {
        int width, height;
    } sizes[] = {{207, 20}, {208, 46}, {1, 1}};
    for (auto size : sizes) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        skin::SkinImage picture = skin::LoadImageFromBytes(
            MakePng(size.width, size.height, [](int x, int) { return x % 2 ? 0x80FF0000u : 0xFF0000FFu; }));
        ASSERT_NE(picture, nullptr);
        UINT width = 0, height = 0;
        gp::GdipGetImageWidth(picture, &width);
        gp::GdipGetImageHeight(picture, &height);
        EXPECT_EQ(width, static_cast<UINT>(size.width));
        EXPECT_EQ(height, static_cast<UINT>(size.height));
        EXPECT_EQ(PicturePixel(picture, 0, 0), 0xFF0000FFu);
        if (size.width > 1) {
            EXPECT_EQ(PicturePixel(picture, 1, size.height - 1), 0x80FF0000u);
        }
        skin::DisposeImage(picture);
    }
}

TEST(LoadImageFromBytes, AnimatedGifShowsItsFirstFrame) {
    skin::SkinImage picture = skin::LoadImageFromBytes(kTwoFrameGif);
    ASSERT_NE(picture, nullptr);
    UINT frames = 0;
    GUID time = Gdiplus::FrameDimensionTime;
    gp::GdipImageGetFrameCount(picture, &time, &frames);
    EXPECT_EQ(frames, 2u);
    EXPECT_EQ(PicturePixel(picture, 1, 1), 0xFFFF0000u);
    skin::DisposeImage(picture);
}

TEST(LoadImageFromBytes, EachCallDecodesAfreshAndDisposeGivesEverythingBack) {
    const std::vector<unsigned char>& png = MakeSolidPng(8, 8, 0xFF336699);
    skin::SkinHandleCounts before = skin::CountSkinHandles();
    skin::SkinImage first = skin::LoadImageFromBytes(png);
    skin::SkinImage second = skin::LoadImageFromBytes(png);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(skin::CountSkinHandles().streams, before.streams + 2);
    skin::DisposeImage(first);
    skin::DisposeImage(second);
    skin::SkinHandleCounts after = skin::CountSkinHandles();
    EXPECT_EQ(after.streams, before.streams);
    EXPECT_EQ(after.gdiplusObjects, before.gdiplusObjects);
}

TEST(LoadImageFromBytes, PictureDrawnLongAfterLoadingStillShowsItsPixels) {
    // The source array goes away at once; the picture must not depend on it.
    skin::SkinImage picture;
    {
        std::vector<unsigned char> copy = MakeSolidPng(30, 10, 0xFF20A040);
        picture = skin::LoadImageFromBytes(copy);
        std::fill(copy.begin(), copy.end(), 0);
    }
    std::vector<skin::SkinImage> others;
    for (int i = 0; i < 200; ++i) {
        others.push_back(skin::LoadImageFromBytes(MakeSolidPng(30, 10, 0xFF000000u | i)));
    }
    for (skin::SkinImage other : others) {
        skin::DisposeImage(other);
    }
    Gdiplus::GpBitmap* canvas = nullptr;
    gp::GdipCreateBitmapFromScan0(30, 10, 0, PixelFormat32bppARGB, nullptr, &canvas);
    Gdiplus::GpGraphics* graphics = nullptr;
    gp::GdipGetImageGraphicsContext(canvas, &graphics);
    EXPECT_EQ(gp::GdipDrawImageRectI(graphics, picture, 0, 0, 30, 10), Gdiplus::Ok);
    gp::GdipDeleteGraphics(graphics);
    Gdiplus::ARGB color = 0;
    gp::GdipBitmapGetPixel(canvas, 15, 5, &color);
    EXPECT_EQ(color, 0xFF20A040u);
    gp::GdipDisposeImage(canvas);
    skin::DisposeImage(picture);
}

TEST(SharedImageFromBytes, DecodesEachArrayOnceForTheProcess) {
    const std::vector<unsigned char>& png = MakeSolidPng(6, 6, 0xFFABCDEF);
    const std::vector<unsigned char>& samePixelsOtherArray = MakeSolidPng(6, 6, 0xFFABCDEF);
    skin::SkinImage first = skin::SharedImageFromBytes(png);
    skin::SkinHandleCounts afterFirst = skin::CountSkinHandles();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(skin::SharedImageFromBytes(png), first);
    EXPECT_EQ(skin::CountSkinHandles().gdiplusObjects, afterFirst.gdiplusObjects);
    EXPECT_NE(skin::SharedImageFromBytes(samePixelsOtherArray), first);
    EXPECT_EQ(skin::SharedImageFromBytes(std::span(png).first(png.size() - 1)) == first, false);
}

TEST(MemoryStream, EmptyBytesGiveABlockThatDoesNotDecode) {
    skin::MemoryStream stream;
    std::vector<unsigned char> nothing;
    IStream* istream = stream.Open(skin::Bytes(nothing));
    ASSERT_NE(istream, nullptr);
    Gdiplus::GpImage* image = nullptr;
    EXPECT_NE(gp::GdipLoadImageFromStream(istream, &image), Gdiplus::Ok);
}

TEST(MemoryStream, OpeningAgainGivesTheFirstBlockBack) {
    long before = skin::CountSkinHandles().streams;
    {
        skin::MemoryStream stream;
        const unsigned char first[] = {1, 2, 3};
        const unsigned char second[] = {4, 5, 6, 7, 8};
        stream.Open(skin::Bytes(first));
        stream.Open(skin::Bytes(second));
        EXPECT_EQ(skin::CountSkinHandles().streams, before + 1);
        EXPECT_EQ(stream.GetBytes(), std::vector<unsigned char>({4, 5, 6, 7, 8}));
    }
    EXPECT_EQ(skin::CountSkinHandles().streams, before);
}

TEST(MemoryStream, WrittenStreamGivesItsWholeBlock) {
    skin::MemoryStream stream;
    IStream* istream = stream.Open(std::nullopt);
    ASSERT_NE(istream, nullptr);
    const char text[] = "written through the stream";
    ULONG written = 0;
    istream->Write(text, sizeof text, &written);
    ASSERT_EQ(written, sizeof text);
    std::vector<unsigned char> bytes = stream.GetBytes();
    ASSERT_GE(bytes.size(), sizeof text);
    EXPECT_EQ(bytes.size(), stream.GetSize());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data())), text);
}

}  // namespace
