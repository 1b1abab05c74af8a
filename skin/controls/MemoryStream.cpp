// Byte arrays in global memory with a COM stream over them.
#include <objbase.h>

#include <cstring>
#include <utility>

#include "skin/controls/SkinControls.h"
#include "skin/core/SkinInternal.h"

namespace skin {

MemoryStream::MemoryStream(MemoryStream&& other) noexcept
    : block_(std::exchange(other.block_, nullptr)),
      stream_(std::exchange(other.stream_, nullptr)),
      streamOwnsBlock_(std::exchange(other.streamOwnsBlock_, false)) {}

MemoryStream& MemoryStream::operator=(MemoryStream&& other) noexcept {
    if (this != &other) {
        Release();
        block_ = std::exchange(other.block_, nullptr);
        stream_ = std::exchange(other.stream_, nullptr);
        streamOwnsBlock_ = std::exchange(other.streamOwnsBlock_, false);
    }
    return *this;
}

void MemoryStream::Release() {
    if (stream_) {
        // A block the stream owns goes with the stream's last reference.
        stream_->Release();
        stream_ = nullptr;
    }
    if (block_) {
        if (!streamOwnsBlock_) {
            GlobalFree(block_);
        }
        block_ = nullptr;
        detail::CountDown(detail::Counter::Stream);
    }
    streamOwnsBlock_ = false;
}

IStream* MemoryStream::Open(std::optional<Bytes> bytes) {
    Release();
    if (bytes) {
        block_ = GlobalAlloc(GMEM_FIXED, bytes->size());
        if (!block_) {
            return nullptr;
        }
        detail::CountUp(detail::Counter::Stream);
        if (!bytes->empty()) {
            void* target = GlobalLock(block_);
            std::memcpy(target, bytes->data(), bytes->size());
            GlobalUnlock(block_);
        }
        // This object frees the block itself, once no picture reads from it any more.
        if (CreateStreamOnHGlobal(block_, FALSE, &stream_) != S_OK) {
            stream_ = nullptr;
        }
        return stream_;
    }
    block_ = GlobalAlloc(GMEM_MOVEABLE, 0);
    if (!block_) {
        return nullptr;
    }
    detail::CountUp(detail::Counter::Stream);
    if (CreateStreamOnHGlobal(block_, TRUE, &stream_) == S_OK) {
        streamOwnsBlock_ = true;
    } else {
        stream_ = nullptr;
    }
    return stream_;
}

HGLOBAL MemoryStream::CurrentBlock() const {
    // A growing stream may have moved its block to a new handle.
    HGLOBAL current = nullptr;
    if (stream_ && streamOwnsBlock_ && GetHGlobalFromStream(stream_, &current) == S_OK) {
        return current;
    }
    return block_;
}

size_t MemoryStream::GetSize() const {
    HGLOBAL block = CurrentBlock();
    return block ? GlobalSize(block) : 0;
}

std::vector<unsigned char> MemoryStream::GetBytes() const {
    HGLOBAL block = CurrentBlock();
    std::vector<unsigned char> bytes(GetSize());
    if (!bytes.empty()) {
        const void* source = GlobalLock(block);
        if (source) {
            std::memcpy(bytes.data(), source, bytes.size());
        }
        GlobalUnlock(block);
    }
    return bytes;
}

}  // namespace skin
