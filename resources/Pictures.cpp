#include "resources/Pictures.h"

#include <windows.h>

#include <algorithm>

namespace resources {

namespace {
constexpr int kBackgroundCount = 41;
}

Picture StripBackground(int rowCount) {
    int rows = std::clamp(rowCount, 1, kBackgroundCount);
    return static_cast<Picture>(static_cast<int>(Picture::StripBackground1) + rows - 1);
}

std::span<const unsigned char> PictureBytes(Picture picture) {
    // A resource of the exe image is mapped for the life of the process and
    // needs no FreeResource, so the span may be kept.
    HMODULE exe = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(exe, MAKEINTRESOURCEA(static_cast<int>(picture)), RT_RCDATA);
    if (!info) {
        return {};
    }
    DWORD sizeBytes = SizeofResource(exe, info);
    HGLOBAL loaded = LoadResource(exe, info);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || sizeBytes == 0) {
        return {};
    }
    return {static_cast<const unsigned char*>(data), sizeBytes};
}

}  // namespace resources
