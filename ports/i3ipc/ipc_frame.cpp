#include "ports/i3ipc/ipc_frame.hpp"

#include <array>

namespace corvane::i3ipc {

namespace {

constexpr std::string_view kMagic = "i3-ipc";
constexpr std::size_t kHeaderSize = kMagic.size() + 8;

void appendLE32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xffu));
}

std::uint32_t readLE32(std::string_view bytes) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
    return value;
}

}  // namespace

std::string encodeFrame(std::uint32_t type, std::string_view payload) {
    std::string out;
    out.reserve(kHeaderSize + payload.size());
    out.append(kMagic);
    appendLE32(out, static_cast<std::uint32_t>(payload.size()));
    appendLE32(out, type);
    out.append(payload);
    return out;
}

void FrameReader::feed(std::string_view bytes) {
    if (!failed_) buffer_.append(bytes);
}

std::optional<Frame> FrameReader::next() {
    if (failed_) return std::nullopt;
    // The magic is checked as soon as its bytes are in, so garbage fails at
    // once instead of waiting for a length that will never come.
    const std::size_t magicBytes = std::min(buffer_.size(), kMagic.size());
    if (std::string_view(buffer_).substr(0, magicBytes) != kMagic.substr(0, magicBytes)) {
        failed_ = true;
        buffer_.clear();
        return std::nullopt;
    }
    if (buffer_.size() < kHeaderSize) return std::nullopt;
    const std::string_view header(buffer_.data(), kHeaderSize);
    const std::uint32_t length = readLE32(header.substr(kMagic.size(), 4));
    if (length > maxPayload) {
        failed_ = true;
        buffer_.clear();
        return std::nullopt;
    }
    if (buffer_.size() - kHeaderSize < length) return std::nullopt;
    Frame frame{readLE32(header.substr(kMagic.size() + 4, 4)), buffer_.substr(kHeaderSize, length)};
    buffer_.erase(0, kHeaderSize + length);
    return frame;
}

}  // namespace corvane::i3ipc
