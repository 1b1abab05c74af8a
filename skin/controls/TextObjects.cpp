// Owners of the GDI+ font, font family and string format handles.
#include <array>

#include "skin/controls/SkinControls.h"
#include "skin/core/SkinInternal.h"

namespace skin {

namespace {

namespace gp = detail::gp;

constexpr int kUnitPixel = 2;
constexpr LONG kWeightSemiBold = 600;
constexpr LONG kWeightBold = 700;

// Installed faces tried, in order, when a window's font names a face GDI+
// cannot find (Wine reports "MS Shell Dlg" for the stock GUI font and has no
// such family). The Chinese faces come first: notes are Chinese.
constexpr std::array<const char*, 4> kFallbackFamilies = {"Microsoft YaHei", "SimSun", "WenQuanYi Micro Hei",
                                                          "Tahoma"};

// Any installed family, for a machine without the preferred ones.
Gdiplus::GpFontFamily* FirstInstalledFamily() {
    Gdiplus::GpFontCollection* collection = nullptr;
    if (gp::GdipNewInstalledFontCollection(&collection) != Gdiplus::Ok) {
        return nullptr;
    }
    INT count = 0;
    gp::GdipGetFontCollectionFamilyCount(collection, &count);
    if (count <= 0) {
        return nullptr;
    }
    Gdiplus::GpFontFamily* listed = nullptr;
    INT found = 0;
    gp::GdipGetFontCollectionFamilyList(collection, 1, &listed, &found);
    Gdiplus::GpFontFamily* family = nullptr;
    if (found == 1 && gp::GdipCloneFontFamily(listed, &family) == Gdiplus::Ok) {
        return family;
    }
    return nullptr;
}

void FallBackToInstalledFamily(SkinFontFamily& family) {
    for (const char* name : kFallbackFamilies) {
        if (family.CreateFromName(name) == Gdiplus::Ok) {
            return;
        }
    }
    family.SetHandle(FirstInstalledFamily());
}

}  // namespace

void SkinFontFamily::Release() {
    if (handle_) {
        gp::GdipDeleteFontFamily(handle_);
        detail::CountDown(detail::Counter::Gdiplus);
        handle_ = nullptr;
    }
}

int SkinFontFamily::CreateFromName(const std::string& ansiName) {
    std::vector<unsigned char> wideName = ToWideText(ansiName);
    Gdiplus::GpFontFamily* family = nullptr;
    Gdiplus::GpStatus status =
        gp::GdipCreateFontFamilyFromName(reinterpret_cast<const WCHAR*>(wideName.data()), nullptr, &family);
    SetHandle(status == Gdiplus::Ok ? family : nullptr);
    return status;
}

void SkinFontFamily::SetHandle(Gdiplus::GpFontFamily* handle) {
    Release();
    handle_ = handle;
    if (handle_) {
        detail::CountUp(detail::Counter::Gdiplus);
    }
}

void SkinFont::Release() {
    if (handle_) {
        gp::GdipDeleteFont(handle_);
        detail::CountDown(detail::Counter::Gdiplus);
        handle_ = nullptr;
    }
}

void SkinFont::SetHandle(Gdiplus::GpFont* handle) {
    Release();
    handle_ = handle;
    if (handle_) {
        detail::CountUp(detail::Counter::Gdiplus);
    }
}

int SkinFont::Create(const std::string& ansiFamily, float emSize, int style, int unit) {
    SkinFontFamily family;
    family.CreateFromName(ansiFamily);
    Gdiplus::GpFont* font = nullptr;
    Gdiplus::GpStatus status = gp::GdipCreateFont(family.GetHandle(), emSize, style, static_cast<Gdiplus::Unit>(unit),
                                                  &font);
    SetHandle(status == Gdiplus::Ok ? font : nullptr);
    return status;
}

int SkinFont::CreateFromDC(HDC hdc) {
    Gdiplus::GpFont* font = nullptr;
    Gdiplus::GpStatus status = gp::GdipCreateFontFromDC(hdc, &font);
    SetHandle(status == Gdiplus::Ok ? font : nullptr);
    return status;
}

Gdiplus::GpFont* SkinFont::CreateFromWindow(HWND window) {
    return CreateFromHfont(reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0)));
}

Gdiplus::GpFont* SkinFont::CreateFromHfont(HFONT gdiFont) {
    if (!gdiFont) {
        return nullptr;
    }
    LOGFONTA logFont{};
    GetObjectA(gdiFont, sizeof logFont, &logFont);
    int style = 0;
    // Only these two weights count as bold; 800 and 900 do not.
    if (logFont.lfWeight == kWeightSemiBold || logFont.lfWeight == kWeightBold) {
        style |= Gdiplus::FontStyleBold;
    }
    if (logFont.lfItalic == 1) {
        style |= Gdiplus::FontStyleItalic;
    }
    if (logFont.lfUnderline == 1) {
        style |= Gdiplus::FontStyleUnderline;
    }
    if (logFont.lfStrikeOut == 1) {
        style |= Gdiplus::FontStyleStrikeout;
    }
    std::string faceName(logFont.lfFaceName, strnlen(logFont.lfFaceName, LF_FACESIZE));
    float emSize = static_cast<float>(logFont.lfHeight < 0 ? -logFont.lfHeight : logFont.lfHeight);

    SkinFontFamily family;
    if (family.CreateFromName(faceName) != Gdiplus::Ok) {
        FallBackToInstalledFamily(family);
    }
    Gdiplus::GpFont* font = nullptr;
    if (gp::GdipCreateFont(family.GetHandle(), emSize, style, static_cast<Gdiplus::Unit>(kUnitPixel), &font) !=
        Gdiplus::Ok) {
        font = nullptr;
    }
    SetHandle(font);
    return handle_;
}

int SkinFont::GetStyle(int& style) const {
    INT value = 0;
    Gdiplus::GpStatus status = gp::GdipGetFontStyle(handle_, &value);
    style = value;
    return status;
}

int SkinFont::GetSize(float& emSize) const { return gp::GdipGetFontSize(handle_, &emSize); }

int SkinFont::GetUnit(int& unit) const {
    Gdiplus::Unit value = Gdiplus::UnitWorld;
    Gdiplus::GpStatus status = gp::GdipGetFontUnit(handle_, &value);
    unit = value;
    return status;
}

void SkinStringFormat::Release() {
    if (handle_) {
        gp::GdipDeleteStringFormat(handle_);
        detail::CountDown(detail::Counter::Gdiplus);
        handle_ = nullptr;
    }
}

void SkinStringFormat::Create(int flags, LANGID language) {
    Gdiplus::GpStringFormat* format = nullptr;
    if (gp::GdipCreateStringFormat(flags, language, &format) != Gdiplus::Ok) {
        format = nullptr;
    }
    SetHandle(format);
}

void SkinStringFormat::SetAlign(int alignment) {
    gp::GdipSetStringFormatAlign(handle_, static_cast<Gdiplus::StringAlignment>(alignment));
}

void SkinStringFormat::SetLineAlign(int alignment) {
    gp::GdipSetStringFormatLineAlign(handle_, static_cast<Gdiplus::StringAlignment>(alignment));
}

void SkinStringFormat::SetAlignment(int alignment, int lineAlignment) {
    SetAlign(alignment);
    SetLineAlign(lineAlignment);
}

void SkinStringFormat::SetHandle(Gdiplus::GpStringFormat* handle) {
    Release();
    handle_ = handle;
    if (handle_) {
        detail::CountUp(detail::Counter::Gdiplus);
    }
}

}  // namespace skin
