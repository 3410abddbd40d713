#include "engine/axes/LabelStrokes.h"

#include <algorithm>

namespace vastrel::axes {

std::vector<Blob> blobs(const LabelPicture& p)
{
    std::vector<Blob> found;
    std::vector<char> seen(p.ink.size(), 0);
    std::vector<std::pair<int, int>> stack;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            if (seen[std::size_t(y * p.width + x)] || !isPrint(p, x, y)) continue;
            Blob b{x, y, x, y};
            stack.push_back({x, y});
            seen[std::size_t(y * p.width + x)] = 1;
            while (!stack.empty()) {
                const auto [cx, cy] = stack.back();
                stack.pop_back();
                b.left = std::min(b.left, cx), b.right = std::max(b.right, cx);
                b.top = std::min(b.top, cy), b.bottom = std::max(b.bottom, cy);
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = cx + dx, ny = cy + dy;
                        if (!isPrint(p, nx, ny) || seen[std::size_t(ny * p.width + nx)]) continue;
                        seen[std::size_t(ny * p.width + nx)] = 1;
                        stack.push_back({nx, ny});
                    }
            }
            found.push_back(b);
        }
    return found;
}

namespace {

// No tick label is printed with a zero before other digits but 0.25 is:
// such a text lost its point after the zero.
std::string withPointAfterZero(std::string text)
{
    const std::size_t zero = text.starts_with('-') ? 1 : 0;
    if (text.size() > zero + 1 && text[zero] == '0' &&
        text.find_first_not_of("0123456789", zero) == std::string::npos)
        text.insert(zero + 1, 1, '.');
    return text;
}

std::string withSignsSeen(const std::string& text, const LabelPicture& label);

}  // namespace

std::string withSmallSigns(const std::string& text, const LabelPicture& label)
{
    return withPointAfterZero(withSignsSeen(text, label));
}

namespace {

std::string withSignsSeen(const std::string& text, const LabelPicture& label)
{
    if (text.empty() || text.find_first_not_of("0123456789-.,") != std::string::npos) return text;
    std::vector<Blob> strokes = blobs(label);
    std::sort(strokes.begin(), strokes.end(), [](const Blob& a, const Blob& b) { return a.left < b.left; });
    // A character broken in two by soft print is one stroke.
    std::vector<Blob> joined;
    for (const Blob& b : strokes) {
        if (!joined.empty() && b.left <= joined.back().right) {
            Blob& j = joined.back();
            j = {j.left, std::min(j.top, b.top), std::max(j.right, b.right), std::max(j.bottom, b.bottom)};
        } else {
            joined.push_back(b);
        }
    }
    // The line the digits stand on, which a comma reaches below.
    int tallest = 0;
    for (const Blob& b : joined) tallest = std::max(tallest, b.bottom - b.top + 1);
    int baseline = 0, top = label.height;
    for (const Blob& b : joined)
        if (b.bottom - b.top + 1 >= 0.6 * tallest) baseline = std::max(baseline, b.bottom), top = std::min(top, b.top);
    const double height = baseline - top + 1;
    if (height < 5) return text;
    std::string shape;
    for (std::size_t i = 0; i < joined.size(); ++i) {
        const Blob& b = joined[i];
        const double h = b.bottom - b.top + 1, w = b.right - b.left + 1;
        const double middle = baseline - (b.top + b.bottom) / 2.0;
        if (i == 0 && h <= 0.25 * height && w >= h + 1 && middle > 0.25 * height && middle < 0.75 * height)
            shape += '-';
        else if (h <= 0.35 * height && w <= 0.4 * height && b.top > top + 0.5 * height)
            shape += b.bottom > baseline + 1 ? ',' : '.';
        else
            shape += 'd';
    }
    std::string digits;
    for (char c : text)
        if (c >= '0' && c <= '9') digits += c;
    const auto shown = std::count(shape.begin(), shape.end(), 'd');
    // More characters printed than read: OCR dropped one ("0.2" read as
    // "2"), and the text would be a wrong number, so it is none. Fewer are
    // characters touching in small print.
    if (shown > std::ptrdiff_t(digits.size())) return "";
    // A sign the label shows and the text lacks, with no certain place to
    // put it back: the same.
    const bool lacking = std::any_of(shape.begin(), shape.end(),
                                     [&](char c) { return c != 'd' && text.find(c) == std::string::npos; });
    if (shown != std::ptrdiff_t(digits.size())) return lacking ? "" : text;
    // Signs are only ever added: one read but not seen joined a digit's stroke.
    for (char sign : {'-', '.', ','})
        if (text.find(sign) != std::string::npos && shape.find(sign) == std::string::npos) return text;
    std::string restored;
    std::size_t next = 0;
    for (char c : shape) restored += c == 'd' ? digits[next++] : c;
    return restored;
}

}  // namespace

}  // namespace vastrel::axes
