#pragma once
// Bounds-checked reading of the numbers in an image file's headers: every
// read that would run past the end of the bytes gives nothing.

#include <QByteArrayView>
#include <cstdint>
#include <optional>

namespace vastrel::image::bytes {

inline bool holds(QByteArrayView data, std::int64_t at, std::int64_t count)
{
    return at >= 0 && count >= 0 && at <= data.size() && count <= data.size() - at;
}

inline std::uint8_t byteAt(QByteArrayView data, std::int64_t at)
{
    return static_cast<std::uint8_t>(data[static_cast<qsizetype>(at)]);
}

inline std::optional<std::uint32_t> read(QByteArrayView data, std::int64_t at, int width, bool bigEndian)
{
    if (!holds(data, at, width)) return std::nullopt;
    std::uint32_t value = 0;
    for (int i = 0; i < width; ++i) {
        const int shift = 8 * (bigEndian ? width - 1 - i : i);
        value |= std::uint32_t(byteAt(data, at + i)) << shift;
    }
    return value;
}

inline std::optional<std::uint32_t> le16(QByteArrayView data, std::int64_t at)
{
    return read(data, at, 2, false);
}
inline std::optional<std::uint32_t> le32(QByteArrayView data, std::int64_t at)
{
    return read(data, at, 4, false);
}
inline std::optional<std::uint32_t> be32(QByteArrayView data, std::int64_t at)
{
    return read(data, at, 4, true);
}

}  // namespace vastrel::image::bytes
