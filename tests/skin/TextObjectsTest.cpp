// GDI+ fonts, families and string formats made from names and GDI fonts.
#include <objidl.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

#include "tests/skin/SkinTestSupport.h"

namespace {

namespace gp = Gdiplus::DllExports;

constexpr const char* kInstalledFace = "WenQuanYi Micro Hei";

HFONT MakeGdiFont(int height, int weight, const char* face, bool italic = false, bool underline = false,
                  bool strikeOut = false) {
    return CreateFontA(height, 0, 0, 0, weight, italic, underline, strikeOut, DEFAULT_CHARSET, 0, 0, 0, 0, face);
}

TEST(SkinFontFromHfont, StyleFollowsTheGdiFont) {
    const struct {
        const char* name;
        int weight;
        bool italic, underline, strikeOut;
        int style;
    } cases[] = {
        {"normal", FW_NORMAL, false, false, false, 0},
        {"600 is bold", 600, false, false, false, Gdiplus::FontStyleBold},
        {"700 is bold", 700, false, false, false, Gdiplus::FontStyleBold},
        {"800 is not bold", 800, false, false, false, 0},
        {"900 is not bold", 900, false, false, false, 0},
        {"italic, underline, strikeout", FW_NORMAL, true, true, true,
         Gdiplus::FontStyleItalic | Gdiplus::FontStyleUnderline | Gdiplus::FontStyleStrikeout},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HFONT gdiFont = MakeGdiFont(-12, c.weight, kInstalledFace, c.italic, c.underline, c.strikeOut);
        skin::SkinFont font;
        ASSERT_NE(font.CreateFromHfont(gdiFont), nullptr);
        int style = -1;
        EXPECT_EQ(font.GetStyle(style), Gdiplus::Ok);
        EXPECT_EQ(style, c.style);
        DeleteObject(gdiFont);
    }
}

TEST(SkinFontFromHfont, HeightOfEitherSignGivesThePixelSize) {
    for (int height : {-12, 12}) {
        SCOPED_TRACE(height);
        HFONT gdiFont = MakeGdiFont(height, FW_NORMAL, kInstalledFace);
        skin::SkinFont font;
        ASSERT_NE(font.CreateFromHfont(gdiFont), nullptr);
        float size = 0;
        int unit = -1;
        font.GetSize(size);
        font.GetUnit(unit);
        EXPECT_FLOAT_EQ(size, 12.0f);
        EXPECT_EQ(unit, Gdiplus::UnitPixel);
        DeleteObject(gdiFont);
    }
}

TEST(SkinFontFromHfont, FaceThatGdiplusLacksFallsBackToAnInstalledFamily) {
    // The stock GUI font names "MS Shell Dlg", which Wine's GDI+ cannot find.
    skin::SkinFont font;
    EXPECT_NE(font.CreateFromHfont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))), nullptr);
    HFONT missing = MakeGdiFont(-14, FW_BOLD, "No Such Face Anywhere");
    EXPECT_NE(font.CreateFromHfont(missing), nullptr);
    int style = 0;
    font.GetStyle(style);
    EXPECT_EQ(style, Gdiplus::FontStyleBold);
    DeleteObject(missing);
    EXPECT_EQ(font.CreateFromHfont(nullptr), nullptr);
}

TEST(SkinFontFromDc, TakesTheFontSelectedIntoTheDc) {
    HFONT gdiFont = MakeGdiFont(-16, FW_BOLD, kInstalledFace);
    HDC screen = GetDC(nullptr);
    HDC hdc = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(hdc, gdiFont);
    skin::SkinFont font;
    EXPECT_EQ(font.CreateFromDC(hdc), Gdiplus::Ok);
    int style = 0;
    font.GetStyle(style);
    EXPECT_EQ(style & Gdiplus::FontStyleBold, Gdiplus::FontStyleBold);
    SelectObject(hdc, previous);
    DeleteDC(hdc);
    ReleaseDC(nullptr, screen);
    DeleteObject(gdiFont);
}

TEST(SkinFontCreate, UnknownFamilyFailsAndLeavesTheFontEmpty) {
    skin::SkinFont font;
    ASSERT_EQ(font.Create(kInstalledFace, 12, 0, Gdiplus::UnitPixel), Gdiplus::Ok);
    ASSERT_NE(font.GetHandle(), nullptr);
    EXPECT_NE(font.Create("No Such Face Anywhere", 12, 0, Gdiplus::UnitPixel), Gdiplus::Ok);
    EXPECT_EQ(font.GetHandle(), nullptr);
}

TEST(SkinFontCreate, CreatingTwiceKeepsOnlyTheSecondFont) {
    long before = skin::CountSkinHandles().gdiplusObjects;
    {
        skin::SkinFont font;
        font.Create(kInstalledFace, 12, 0, Gdiplus::UnitPixel);
        font.Create(kInstalledFace, 20, 0, Gdiplus::UnitPixel);
        EXPECT_EQ(skin::CountSkinHandles().gdiplusObjects, before + 1);
        float size = 0;
        font.GetSize(size);
        EXPECT_FLOAT_EQ(size, 20.0f);
    }
    EXPECT_EQ(skin::CountSkinHandles().gdiplusObjects, before);
}

TEST(SkinFontFamily, NamesAnInstalledFamilyOrNothing) {
    skin::SkinFontFamily family;
    EXPECT_EQ(family.CreateFromName(kInstalledFace), Gdiplus::Ok);
    EXPECT_NE(family.GetHandle(), nullptr);
    EXPECT_EQ(family.CreateFromName("Tahoma-that-is-not"), Gdiplus::FontFamilyNotFound);
    EXPECT_EQ(family.GetHandle(), nullptr);
}

TEST(SkinStringFormat, DefaultsAndAlignment) {
    skin::SkinStringFormat format;
    format.Create();
    ASSERT_NE(format.GetHandle(), nullptr);
    INT flags = -1;
    gp::GdipGetStringFormatFlags(format.GetHandle(), &flags);
    EXPECT_EQ(flags, 0);
    format.SetAlignment(Gdiplus::StringAlignmentNear, Gdiplus::StringAlignmentCenter);
    Gdiplus::StringAlignment align = Gdiplus::StringAlignmentFar;
    Gdiplus::StringAlignment lineAlign = Gdiplus::StringAlignmentFar;
    gp::GdipGetStringFormatAlign(format.GetHandle(), &align);
    gp::GdipGetStringFormatLineAlign(format.GetHandle(), &lineAlign);
    EXPECT_EQ(align, Gdiplus::StringAlignmentNear);
    EXPECT_EQ(lineAlign, Gdiplus::StringAlignmentCenter);
    format.Create(0x1004);
    gp::GdipGetStringFormatFlags(format.GetHandle(), &flags);
    EXPECT_EQ(flags, 0x1004);
}

}  // namespace
