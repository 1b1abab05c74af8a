// Pictures decoded from PNG bytes in memory.
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "skin/controls/SkinControls.h"
#include "skin/core/SkinInternal.h"

namespace skin {

extern GUID gFrameDimensionTime;

namespace {

// GDI+ may read a picture's stream again at any draw, so each stream stays
// with its picture until the picture is disposed.
std::mutex gStreamsLock;
std::map<SkinImage, MemoryStream> gStreamOfImage;

std::mutex gSharedLock;
std::map<std::pair<const unsigned char*, size_t>, SkinImage> gSharedImages;

}  // namespace

SkinImage LoadImageFromBytes(Bytes bytes) {
    MemoryStream stream;
    IStream* istream = stream.Open(bytes);
    if (!istream) {
        return nullptr;
    }
    Gdiplus::GpImage* image = nullptr;
    if (detail::gp::GdipLoadImageFromStream(istream, &image) != Gdiplus::Ok || !image) {
        return nullptr;
    }
    // A still picture has no time dimension and stays as it is.
    detail::gp::GdipImageSelectActiveFrame(image, &gFrameDimensionTime, 0);
    detail::CountUp(detail::Counter::Gdiplus);
    std::lock_guard lock(gStreamsLock);
    gStreamOfImage.emplace(image, std::move(stream));
    return image;
}

void DisposeImage(SkinImage image) {
    if (!image) {
        return;
    }
    detail::gp::GdipDisposeImage(image);
    // Only now may the stream go: the picture no longer reads from it.
    std::lock_guard lock(gStreamsLock);
    if (gStreamOfImage.erase(image) != 0) {
        detail::CountDown(detail::Counter::Gdiplus);
    }
}

SkinImage SharedImageFromBytes(Bytes bytes) {
    std::lock_guard lock(gSharedLock);
    auto key = std::make_pair(bytes.data(), bytes.size());
    auto found = gSharedImages.find(key);
    if (found != gSharedImages.end()) {
        return found->second;
    }
    // A failed decode is remembered too: the same bytes would fail again.
    SkinImage image = LoadImageFromBytes(bytes);
    gSharedImages.emplace(key, image);
    return image;
}

}  // namespace skin
