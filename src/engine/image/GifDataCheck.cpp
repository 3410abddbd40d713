// A GIF file is whole when its blocks run on to the trailer byte and every
// frame's compressed data codes for exactly the frame's pixels. The decoder
// shows a frame whose data breaks off part-way with the rest left as it was.

#include "engine/image/ByteReading.h"
#include "engine/image/FormatChecks.h"

#include <array>

namespace vastrel::image::checks {

namespace {

constexpr std::uint8_t kExtension = 0x21;
constexpr std::uint8_t kImage = 0x2C;
constexpr std::uint8_t kTrailer = 0x3B;
constexpr int kMaxCodeBits = 12;

// Hands each data byte of a run of sub-blocks (a length byte and that many
// bytes, ended by a zero length) from `at` to `visit`; false when the run
// goes past the end. `at` is left just after the ending zero.
template <class Visit>
bool walkSubBlocks(QByteArrayView data, std::int64_t& at, Visit visit)
{
    for (;;) {
        if (!bytes::holds(data, at, 1)) return false;
        const int length = bytes::byteAt(data, at++);
        if (length == 0) return true;
        if (!bytes::holds(data, at, length)) return false;
        for (int i = 0; i < length; ++i) visit(bytes::byteAt(data, at + i));
        at += length;
    }
}

// Follows the LZW codes of one frame, counting the pixels they stand for:
// only the length of each table entry matters, never its pixels.
class CodeCounter {
public:
    explicit CodeCounter(int minimumBits) : clear_(1 << minimumBits), minimumBits_(minimumBits) { restart(); }

    void take(std::uint8_t byte)
    {
        if (ended_ || broken_) return;
        buffer_ |= std::uint32_t(byte) << bufferedBits_;
        bufferedBits_ += 8;
        while (!ended_ && !broken_ && bufferedBits_ >= codeBits_) {
            const int code = int(buffer_ & ((1u << codeBits_) - 1));
            buffer_ >>= codeBits_;
            bufferedBits_ -= codeBits_;
            decode(code);
        }
    }

    bool broken() const { return broken_; }
    std::int64_t pixels() const { return pixels_; }

private:
    void restart()
    {
        codeBits_ = minimumBits_ + 1;
        next_ = clear_ + 2;
        previous_ = -1;
    }

    void decode(int code)
    {
        if (code == clear_) return restart();
        if (code == clear_ + 1) {
            ended_ = true;
            return;
        }
        int length = 0;
        if (code < clear_)
            length = 1;
        else if (previous_ >= 0 && code > clear_ + 1 && code < next_)
            length = lengths_[std::size_t(code)];
        else if (previous_ >= 0 && code == next_)
            length = lengthOf(previous_) + 1;
        else {
            broken_ = true;  // a code the table does not hold yet
            return;
        }
        if (previous_ >= 0 && next_ < (1 << kMaxCodeBits)) {
            lengths_[std::size_t(next_)] = lengthOf(previous_) + 1;
            if (++next_ == (1 << codeBits_) && codeBits_ < kMaxCodeBits) ++codeBits_;
        }
        pixels_ += length;
        previous_ = code;
    }

    int lengthOf(int code) const { return code < clear_ ? 1 : lengths_[std::size_t(code)]; }

    const int clear_;
    const int minimumBits_;
    int codeBits_ = 0;
    int next_ = 0;
    int previous_ = -1;
    std::uint32_t buffer_ = 0;
    int bufferedBits_ = 0;
    bool ended_ = false;
    bool broken_ = false;
    std::int64_t pixels_ = 0;
    std::array<int, 1 << kMaxCodeBits> lengths_{};
};

std::int64_t colourTableSize(std::uint8_t packed)
{
    return packed & 0x80 ? 3 * (std::int64_t(2) << (packed & 0x07)) : 0;
}

std::optional<DataFault> checkFrame(QByteArrayView data, std::int64_t& at)
{
    const auto width = bytes::le16(data, at + 4);
    const auto height = bytes::le16(data, at + 6);
    if (!width || !height || !bytes::holds(data, at + 8, 1)) return DataFault::EndsEarly;
    at += 9 + colourTableSize(bytes::byteAt(data, at + 8));
    if (!bytes::holds(data, at, 1)) return DataFault::EndsEarly;
    const int minimumBits = bytes::byteAt(data, at++);
    if (minimumBits < 1 || minimumBits >= kMaxCodeBits) return DataFault::Damaged;
    CodeCounter codes(minimumBits);
    if (!walkSubBlocks(data, at, [&](std::uint8_t byte) { codes.take(byte); })) return DataFault::EndsEarly;
    // The blocks are all there, so codes for too few pixels (or too many)
    // mean broken data, not a cut.
    if (codes.broken() || codes.pixels() != std::int64_t(*width) * *height) return DataFault::Damaged;
    return std::nullopt;
}

}  // namespace

std::optional<DataFault> checkGif(QByteArrayView data)
{
    // Signature and version (6 bytes), then the logical screen descriptor.
    if (!bytes::holds(data, 6, 7)) return DataFault::EndsEarly;
    std::int64_t at = 13 + colourTableSize(bytes::byteAt(data, 10));
    for (;;) {
        if (!bytes::holds(data, at, 1)) return DataFault::EndsEarly;
        const std::uint8_t introducer = bytes::byteAt(data, at++);
        if (introducer == kTrailer) return std::nullopt;
        if (introducer == kExtension) {
            ++at;  // the label
            if (!walkSubBlocks(data, at, [](std::uint8_t) {})) return DataFault::EndsEarly;
        } else if (introducer == kImage) {
            if (const auto fault = checkFrame(data, at)) return fault;
        } else {
            return DataFault::Damaged;
        }
    }
}

}  // namespace vastrel::image::checks
