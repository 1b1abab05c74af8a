// The strip drawn from the program's own pictures: the strip becomes a layered
// skin window, its buttons picture buttons, its row frames picture boxes and
// its edit boxes see-through boxes whose text the strip's composition draws.
#include "strip/skinned/SkinnedStripSkin.h"

#include <array>
#include <vector>

#include "resources/Pictures.h"
#include "skin/controls/SkinControls.h"
#include "skin/core/SkinCore.h"

namespace strip {

namespace {

using resources::Picture;

constexpr int kBackgroundCount = 41;

// Kept on each row frame: the procedure its hit test hands everything else to.
constexpr const char* kPropFrameNextProc = "QuilloFrameNextProc";

skin::Bytes Bytes(Picture picture) { return resources::PictureBytes(picture); }

skin::ButtonImageBytes ButtonPictures(Picture normal, Picture hover, Picture pressed) {
    return {.normal = Bytes(normal), .hover = Bytes(hover), .pressed = Bytes(pressed)};
}

skin::ButtonImageBytes ClockPictures(bool reminderOn) {
    return ButtonPictures(reminderOn ? Picture::ClockYellow : Picture::ClockWhite, Picture::ClockBlack,
                          Picture::ClockGreen);
}

// A frame lies under its row's edit box and buttons. The mouse goes through
// it to them, or to the strip, which drags.
LRESULT CALLBACK FrameWndProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto next = reinterpret_cast<WNDPROC>(GetPropA(frame, kPropFrameNextProc));
    if (message == WM_NCHITTEST) {
        return HTTRANSPARENT;
    }
    if (message == WM_NCDESTROY) {
        RemovePropA(frame, kPropFrameNextProc);
    }
    return CallWindowProcA(next, frame, message, wParam, lParam);
}

// Before the skin module subclasses the frame: the module puts the procedure
// it found back when the frame enters child mode, so this one stays.
void PlaceFrameUnderItsRow(HWND frame) {
    if (!IsWindow(frame)) {
        return;
    }
    if (!GetPropA(frame, kPropFrameNextProc)) {
        LONG_PTR next = SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameWndProc));
        SetPropA(frame, kPropFrameNextProc, reinterpret_cast<HANDLE>(next));
    }
    // The composition draws the top of the Z order first, so a frame at the
    // top is drawn before, and so under, the text and buttons of its row.
    SetWindowPos(frame, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Lengthening keeps what the list holds and appends unbound skins.
template <typename Skin>
void Lengthen(std::vector<Skin>& list, size_t length) {
    if (list.size() < length) {
        list.resize(length);
    }
}

template <typename Skin>
void EraseElement(std::vector<Skin>& list, size_t index) {
    if (index < list.size()) {
        list.erase(list.begin() + static_cast<ptrdiff_t>(index));
    }
}

class SkinnedStripSkin final : public StripSkin {
public:
    explicit SkinnedStripSkin(StripState& strip) : strip_(strip) {}

    void StartSkin() override { skin::StartSkinModule(); }

    void SkinStrip(HWND stripHwnd, const FirstRowControls& firstRow) override {
        // Shared pictures: decoded once for the process, shown by any number of rows.
        framePictures_ = {skin::SharedImageFromBytes(Bytes(Picture::FrameNormal)),
                          skin::SharedImageFromBytes(Bytes(Picture::FrameRed)),
                          skin::SharedImageFromBytes(Bytes(Picture::FrameYellow))};
        stripSkin_.Attach(stripHwnd);
        // Attaching leaves the layered style alone; the strip must still stay
        // off the taskbar. It is not shown yet, so the shell takes it as a tool window.
        SetWindowLongPtrA(stripHwnd, GWL_EXSTYLE, GetWindowLongPtrA(stripHwnd, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
        stripSkin_.SetBackImageFromBytes(Bytes(resources::StripBackground(1)));
        addSkin_.Attach(firstRow.AddButton);
        addSkin_.SetImagesFromBytes(ButtonPictures(Picture::AddNormal, Picture::AddHover, Picture::AddPressed));
        helpSkin_.Attach(firstRow.HelpButton);
        helpSkin_.SetImagesFromBytes(ButtonPictures(Picture::HelpNormal, Picture::HelpHover, Picture::HelpPressed));
        closeSkin_.Attach(firstRow.CloseButton);
        closeSkin_.SetImagesFromBytes(
            ButtonPictures(Picture::CloseNormal, Picture::CloseHover, Picture::ClosePressed));
        firstClockSkin_.Attach(firstRow.ClockButton);
        firstClockSkin_.SetImagesFromBytes(ClockPictures(false));
        SkinFrame(firstFrameSkin_, firstRow.Frame);
        SkinEdit(firstEditSkin_, firstRow.EditBox);
    }

    void SkinRow(int element) override {
        const RowControlLists& rows = strip_.RowControls;
        if (element < 1 || static_cast<size_t>(element) > rows.Frames.size()) {
            return;
        }
        const size_t length = static_cast<size_t>(element);
        const size_t index = length - 1;
        Lengthen(frameSkins_, length);
        SkinFrame(frameSkins_[index], rows.Frames[index]);
        Lengthen(editSkins_, length);
        if (SkinEdit(editSkins_[index], rows.EditBoxes[index])) {
            editSkins_[index].SetTextColor(strip_.StripTextColor);
        }
        Lengthen(deleteSkins_, length);
        deleteSkins_[index].Attach(rows.DeleteButtons[index]);
        deleteSkins_[index].SetImagesFromBytes(
            ButtonPictures(Picture::DeleteNormal, Picture::DeleteHover, Picture::DeletePressed));
        Lengthen(clockSkins_, length);
        clockSkins_[index].Attach(rows.ClockButtons[index]);
        clockSkins_[index].SetImagesFromBytes(ClockPictures(false));
    }

    void DropRowSkins(int element) override {
        if (element < 1) {
            return;
        }
        const size_t index = static_cast<size_t>(element - 1);
        EraseElement(editSkins_, index);
        EraseElement(frameSkins_, index);
        EraseElement(deleteSkins_, index);
        EraseElement(clockSkins_, index);
    }

    void PlaceRowControl(int element, HWND control, int top) override {
        if (element < 1) {
            return;
        }
        const size_t index = static_cast<size_t>(element - 1);
        const std::array<skin::SkinControl*, 4> rowSkins = {Element(frameSkins_, index), Element(editSkins_, index),
                                                            Element(deleteSkins_, index),
                                                            Element(clockSkins_, index)};
        for (skin::SkinControl* rowSkin : rowSkins) {
            if (rowSkin && control && rowSkin->GetHandle() == control) {
                rowSkin->Move({.top = top});
                return;
            }
        }
    }

    void ResizeStrip(int widthOrZero, int heightOrZero) override {
        skin::Placement size;
        if (widthOrZero != 0) {
            size.width = widthOrZero;
        }
        if (heightOrZero != 0) {
            size.height = heightOrZero;
        }
        stripSkin_.Move(size);
    }

    // Past 41 rows the strip keeps the tallest background. The module's
    // picture store decodes each background once, so adding and deleting rows
    // for ever reuses the same 41 pictures.
    void SetStripBackground(int rowCount) override {
        if (rowCount < 1 || rowCount > kBackgroundCount) {
            return;
        }
        stripSkin_.SetBackImageFromBytes(Bytes(resources::StripBackground(rowCount)));
    }

    void ShowRowFrame(int row, FrameLook look) override {
        if (skin::SkinPictureBox* frame = RowSkin(frameSkins_, firstFrameSkin_, row)) {
            frame->SetBackImage(FramePicture(look));
        }
    }

    void ShowRowReminder(int row, bool on) override {
        if (skin::SkinButton* clock = RowSkin(clockSkins_, firstClockSkin_, row)) {
            clock->SetImagesFromBytes(ClockPictures(on));
        }
    }

    void ShowRowTextColor(int row, int32_t color) override {
        if (skin::SkinEditBox* edit = RowSkin(editSkins_, firstEditSkin_, row)) {
            edit->SetTextColor(color);
        }
    }

    void RefreshStrip() override { stripSkin_.Refresh(); }

private:
    // A control that could not be made stays unskinned: the setters of an
    // unbound skin would invalidate the whole screen.
    void SkinFrame(skin::SkinPictureBox& frameSkin, HWND frame) {
        PlaceFrameUnderItsRow(frame);
        frameSkin.Attach(frame);
        if (frameSkin.GetHandle()) {
            frameSkin.SetBackImage(FramePicture(FrameLook::Normal));
        }
    }

    // Neither fill nor border: the row's frame shows through.
    static bool SkinEdit(skin::SkinEditBox& editSkin, HWND editBox) {
        editSkin.Attach(editBox);
        if (!editSkin.GetHandle()) {
            return false;
        }
        editSkin.SetBackColor(skin::kNoColor);
        editSkin.SetOrderColor(skin::kNoColor);
        return true;
    }

    skin::SkinImage FramePicture(FrameLook look) const {
        switch (look) {
        case FrameLook::Red:
            return framePictures_[1];
        case FrameLook::Yellow:
            return framePictures_[2];
        case FrameLook::Normal:
        default:
            return framePictures_[0];
        }
    }

    template <typename Skin>
    static Skin* Element(std::vector<Skin>& list, size_t index) {
        return index < list.size() ? &list[index] : nullptr;
    }

    // Row r's skin: row 1's own, or element r - 1 of its list; nullptr when
    // the row has no bound skin.
    template <typename Skin>
    static Skin* RowSkin(std::vector<Skin>& list, Skin& firstRowSkin, int row) {
        Skin* rowSkin = nullptr;
        if (row == 1) {
            rowSkin = &firstRowSkin;
        } else if (row >= 2) {
            rowSkin = Element(list, static_cast<size_t>(row - 2));
        }
        return rowSkin && rowSkin->GetHandle() ? rowSkin : nullptr;
    }

    StripState& strip_;
    std::array<skin::SkinImage, 3> framePictures_{};
    skin::SkinWindow stripSkin_;
    skin::SkinButton addSkin_;
    skin::SkinButton helpSkin_;
    skin::SkinButton closeSkin_;
    skin::SkinButton firstClockSkin_;
    skin::SkinPictureBox firstFrameSkin_;
    skin::SkinEditBox firstEditSkin_;
    // `RowSkins`: element k - 1 belongs to row k + 1, in step with `RowControls`.
    std::vector<skin::SkinEditBox> editSkins_;
    std::vector<skin::SkinPictureBox> frameSkins_;
    std::vector<skin::SkinButton> deleteSkins_;
    std::vector<skin::SkinButton> clockSkins_;
};

}  // namespace

std::unique_ptr<StripSkin> MakeSkinnedStripSkin(StripState& strip) {
    return std::make_unique<SkinnedStripSkin>(strip);
}

}  // namespace strip
