// The pictures as the program gets them: embedded by windres, found by id and
// decoded by GDI+ from the bytes PictureBytes hands out.
#include "resources/Pictures.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

using resources::Picture;
using resources::PictureBytes;
using resources::StripBackground;

namespace {

struct Size {
    Picture picture;
    int widthPx;
    int heightPx;
};

const Size kSizes[] = {
    {Picture::FrameNormal, 207, 20},      {Picture::FrameRed, 207, 20},
    {Picture::FrameYellow, 207, 20},      {Picture::AddNormal, 32, 15},
    {Picture::AddHover, 32, 15},          {Picture::AddPressed, 32, 15},
    {Picture::HelpNormal, 20, 20},        {Picture::HelpHover, 20, 20},
    {Picture::HelpPressed, 20, 20},       {Picture::CloseNormal, 20, 20},
    {Picture::CloseHover, 20, 20},        {Picture::ClosePressed, 20, 20},
    {Picture::ClockWhite, 17, 17},        {Picture::ClockBlack, 17, 17},
    {Picture::ClockGreen, 17, 17},        {Picture::ClockYellow, 17, 17},
    {Picture::DeleteNormal, 16, 16},      {Picture::DeleteHover, 16, 16},
    {Picture::DeletePressed, 16, 16},     {Picture::BalloonLogo, 16, 16},
    {Picture::HelpBackground, 427, 284},  {Picture::HelpCloseNormal, 61, 35},
    {Picture::HelpCloseHover, 61, 35},    {Picture::HelpClosePressed, 61, 35},
    {Picture::ProductNormal, 322, 20},    {Picture::ProductHover, 322, 20},
    {Picture::ProductPressed, 322, 20},   {Picture::PaletteNormal, 16, 16},
    {Picture::PaletteHover, 16, 16},      {Picture::PalettePressed, 16, 16},
    {Picture::ChatNormal, 78, 25},        {Picture::ChatHover, 78, 25},
    {Picture::ChatPressed, 78, 25},       {Picture::MessageNormal, 78, 25},
    {Picture::MessageHover, 78, 25},      {Picture::MessagePressed, 78, 25},
};

struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};

class PicturesTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    }
    static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(token); }

    // The stream must outlive the bitmap: GDI+ may read it again when drawing.
    struct Decoded {
        std::unique_ptr<IStream, ComRelease> stream;
        std::unique_ptr<Gdiplus::Bitmap> bitmap;
    };

    static Decoded Decode(Picture picture) {
        auto bytes = PictureBytes(picture);
        Decoded decoded;
        decoded.stream.reset(SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size())));
        if (decoded.stream) {
            decoded.bitmap.reset(Gdiplus::Bitmap::FromStream(decoded.stream.get()));
        }
        return decoded;
    }

    static void ExpectDecodesAt(Picture picture, int widthPx, int heightPx) {
        SCOPED_TRACE("picture " + std::to_string(static_cast<int>(picture)));
        auto bytes = PictureBytes(picture);
        ASSERT_GE(bytes.size(), 8u);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "\x89PNG\r\n\x1a\n");
        Decoded decoded = Decode(picture);
        ASSERT_TRUE(decoded.bitmap);
        ASSERT_EQ(decoded.bitmap->GetLastStatus(), Gdiplus::Ok);
        EXPECT_EQ(static_cast<int>(decoded.bitmap->GetWidth()), widthPx);
        EXPECT_EQ(static_cast<int>(decoded.bitmap->GetHeight()), heightPx);
        EXPECT_TRUE(Gdiplus::IsAlphaPixelFormat(decoded.bitmap->GetPixelFormat()));
    }

    static ULONG_PTR token;
};

ULONG_PTR PicturesTest::token = 0;

}  // namespace

TEST_F(PicturesTest, EveryPictureIsEmbeddedAsAPngOfItsSize) {
    for (const Size& size : kSizes) {
        ExpectDecodesAt(size.picture, size.widthPx, size.heightPx);
    }
    for (int rows = 1; rows <= 41; ++rows) {
        ExpectDecodesAt(StripBackground(rows), 208, 46 + 20 * (rows - 1));
    }
}

// A layered window passes clicks through pixels of alpha 0 and takes them on
// any other; these pixels decide whether the strip can be dragged and its
// rows clicked.
TEST_F(PicturesTest, AlphaWhereClicksMustLandOrPassSurvivesDecoding) {
    struct Probe {
        const char* what;
        Picture picture;
        int x, y;
        int minAlpha, maxAlpha;
    };
    const Probe probes[] = {
        {"drag band right of the logo", Picture::StripBackground1, 150, 8, 3, 3},
        {"drag band's last row", StripBackground(41), 120, 15, 3, 3},
        {"gap above the red line", Picture::StripBackground1, 150, 17, 0, 0},
        {"red line", StripBackground(3), 100, 19, 255, 255},
        {"below the red line", StripBackground(41), 100, 845, 0, 0},
        {"inside of a row frame", Picture::FrameNormal, 100, 10, 8, 200},
        {"inside of a blinking frame", Picture::FrameYellow, 60, 9, 8, 200},
        {"row frame's rounded corner", Picture::FrameRed, 0, 0, 0, 0},
        {"help window's body", Picture::HelpBackground, 200, 150, 255, 255},
        {"help window's rounded corner", Picture::HelpBackground, 426, 283, 0, 0},
    };
    for (const Probe& probe : probes) {
        SCOPED_TRACE(probe.what);
        Decoded decoded = Decode(probe.picture);
        ASSERT_TRUE(decoded.bitmap);
        Gdiplus::Color colour;
        ASSERT_EQ(decoded.bitmap->GetPixel(probe.x, probe.y, &colour), Gdiplus::Ok);
        EXPECT_GE(colour.GetA(), probe.minAlpha);
        EXPECT_LE(colour.GetA(), probe.maxAlpha);
    }
}

TEST(StripBackgroundTest, RowCountsPastTheEndsKeepTheNearestBackground) {
    const struct {
        int rowCount;
        Picture expected;
    } cases[] = {
        {-3, Picture::StripBackground1}, {0, Picture::StripBackground1},
        {1, Picture::StripBackground1},  {2, static_cast<Picture>(1002)},
        {41, static_cast<Picture>(1041)}, {42, static_cast<Picture>(1041)},
        {1000, static_cast<Picture>(1041)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rowCount);
        EXPECT_EQ(static_cast<int>(StripBackground(c.rowCount)), static_cast<int>(c.expected));
    }
}

TEST(PictureBytesTest, AnIdWithNoPictureGivesNoBytes) {
    EXPECT_TRUE(PictureBytes(static_cast<Picture>(1000)).empty());
    EXPECT_TRUE(PictureBytes(static_cast<Picture>(1042)).empty());
}
