#include "engine/axes/TickLabels.h"

#include "engine/axes/LabelStrokes.h"

#include <algorithm>
#include <cmath>

namespace vastrel::axes {

namespace {

// A straightened stretch of the picture: (u, v) is origin + u·ex + v·ey.
struct Upright {
    PlanePoint origin, ex, ey;
    LabelPicture picture;

    PlanePoint pointAt(double u, double v) const
    {
        return {origin.x + u * ex.x + v * ey.x, origin.y + u * ex.y + v * ey.y};
    }
};

// Started on a pixel's centre, the cut of an upright page takes its pixels as
// they are: between them, small print would be smeared over two.
Upright cutUpright(const InkMap& ink, PlanePoint from, PlanePoint ex, PlanePoint ey, int width, int height)
{
    const PlanePoint origin{std::round(from.x), std::round(from.y)};
    Upright cut{origin, ex, ey, {std::max(0, width), std::max(0, height), {}}};
    cut.picture.ink.resize(std::size_t(cut.picture.width) * std::size_t(cut.picture.height));
    for (int v = 0; v < cut.picture.height; ++v)
        for (int u = 0; u < cut.picture.width; ++u) {
            const PlanePoint p = cut.pointAt(u, v);
            cut.picture.ink[std::size_t(v) * std::size_t(cut.picture.width) + std::size_t(u)] =
                std::uint8_t(std::lround(ink.sample(p.x, p.y)));
        }
    return cut;
}

LabelPicture part(const LabelPicture& p, int x0, int y0, int x1, int y1)
{
    LabelPicture out{x1 - x0 + 1, y1 - y0 + 1, {}};
    out.ink.reserve(std::size_t(out.width) * std::size_t(out.height));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) out.ink.push_back(std::uint8_t(p.at(x, y)));
    return out;
}

// The part of a label its ink covers, with a blank margin.
LabelPicture trimmed(const LabelPicture& p)
{
    int x0 = p.width, y0 = p.height, x1 = -1, y1 = -1;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (isPrint(p, x, y)) x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    if (x1 < 0) return p;
    return part(p, x0 - 2, y0 - 2, x1 + 2, y1 + 2);
}

// Runs of indices where `count` holds ink, closer runs than `gap` joined.
std::vector<std::pair<int, int>> runs(const std::vector<int>& count, int gap)
{
    std::vector<std::pair<int, int>> out;
    for (int i = 0; i < int(count.size()); ++i) {
        if (count[std::size_t(i)] == 0) continue;
        if (!out.empty() && i - out.back().second <= gap) out.back().second = i;
        else out.push_back({i, i});
    }
    return out;
}

// The label with its raised characters apart: the last columns, whose ink
// stays well above the line the others stand on and reaches above their
// tops (a minus on the line does neither). Columns, not connected strokes:
// on a soft scan a power's digit touches the digit before it.
LabelBox splitPower(double along, const LabelPicture& label)
{
    LabelBox box{along, label, std::nullopt, false};
    std::vector<int> tops(std::size_t(label.width), -1), feet(std::size_t(label.width), -1);
    for (int x = 0; x < label.width; ++x)
        for (int y = 0; y < label.height; ++y)
            if (isPrint(label, x, y)) {
                if (tops[std::size_t(x)] < 0) tops[std::size_t(x)] = y;
                feet[std::size_t(x)] = y;
            }
    const int baseline = *std::max_element(feet.begin(), feet.end());
    if (baseline < 0) return box;
    // The digits on the line: the first column from the right standing on it.
    int inkTop = label.height;
    for (int t : tops)
        if (t >= 0) inkTop = std::min(inkTop, t);
    const double onLine = baseline - 0.25 * (baseline - inkTop + 1);
    int lastOnLine = label.width - 1;
    while (lastOnLine >= 0 && feet[std::size_t(lastOnLine)] < onLine) --lastOnLine;
    int baseTop = label.height;
    for (int x = 0; x <= lastOnLine; ++x)
        if (tops[std::size_t(x)] >= 0) baseTop = std::min(baseTop, tops[std::size_t(x)]);
    const int height = baseline - baseTop + 1;
    // The last digit's shoulder, the right of a 0's round, stands off the
    // line too, but starts below the digits' tops and centres on their
    // middle: it is theirs. A raised minus after it stands higher.
    auto shoulder = [&](int x) {
        return tops[std::size_t(x)] > baseTop + 0.1 * height &&
               tops[std::size_t(x)] + feet[std::size_t(x)] >= 2 * (baseTop + 0.35 * height);
    };
    int firstRaised = lastOnLine + 1;
    while (firstRaised < label.width && tops[std::size_t(firstRaised)] >= 0 && shoulder(firstRaised)) ++firstRaised;
    int powerTop = label.height, powerColumns = 0, powerLeft = label.width;
    for (int x = firstRaised; x < label.width; ++x) {
        if (tops[std::size_t(x)] < 0) continue;
        if (feet[std::size_t(x)] >= baseline - 0.3 * height) return box;
        powerTop = std::min(powerTop, tops[std::size_t(x)]);
        powerLeft = std::min(powerLeft, x);
        ++powerColumns;
    }
    if (height < 5 || powerColumns < 2 || powerTop >= baseTop - 0.15 * height) return box;
    // Where the line's digits end, a little ink of theirs may still reach in.
    int split = powerLeft;
    while (split > 0 && tops[std::size_t(split - 1)] >= 0 && feet[std::size_t(split - 1)] < baseline - 0.3 * height &&
           !shoulder(split - 1))
        --split;
    LabelPicture power = part(label, split, 0, label.width - 1, label.height - 1);
    // A raised minus is too small a stroke for OCR to keep: it is told by its
    // shape, flat and first.
    const std::vector<Blob> parts = blobs(power);
    const auto first = std::min_element(parts.begin(), parts.end(), [](const Blob& a, const Blob& b) {
        return a.left < b.left;
    });
    if (first != parts.end() && first->bottom - first->top <= 2 && first->right - first->left >= 2 &&
        std::none_of(parts.begin(), parts.end(), [&](const Blob& b) {
            return &b != &*first && b.left <= first->right;
        })) {
        box.powerNegative = true;
        power = part(power, first->right + 1, 0, power.width - 1, power.height - 1);
    }
    box.base = trimmed(part(label, 0, 0, split - 1, label.height - 1));
    box.power = trimmed(power);
    return box;
}

constexpr int kMargin = 2;

// Rows of text left of the Y axis, a power's digits raised clear of the line
// below them ("10" under "-3") joined to it.
std::vector<std::pair<int, int>> withRaisedParts(std::vector<std::pair<int, int>> rows)
{
    if (rows.empty()) return rows;
    std::vector<int> heights;
    for (const auto& [top, bottom] : rows) heights.push_back(bottom - top + 1);
    std::nth_element(heights.begin(), heights.begin() + long(heights.size() / 2), heights.end());
    const double usual = heights[heights.size() / 2];
    for (std::size_t i = rows.size() - 1; i > 0; --i) {
        auto& above = rows[i - 1];
        const auto& below = rows[i];
        if (below.first - above.second <= 3 && above.second - above.first + 1 < 0.8 * usual &&
            below.second - above.first + 1 < 2 * usual) {
            above.second = below.second;
            rows.erase(rows.begin() + long(i));
        }
    }
    return rows;
}

}  // namespace

std::vector<LabelBox> labelsBelow(const InkMap& ink, const AxisLine& axis, double clearance)
{
    const double n = std::sqrt(1 + axis.slope * axis.slope);
    const PlanePoint ex{1 / n, axis.slope / n}, ey{-axis.slope / n, 1 / n};
    constexpr int kSide = 60, kDepth = 80;
    const PlanePoint start = axis.at(axis.from);
    const PlanePoint origin{start.x - kSide * ex.x + clearance * ey.x, start.y - kSide * ex.y + clearance * ey.y};
    const Upright cut = cutUpright(ink, origin, ex, ey, int(axis.to - axis.from) + 2 * kSide, kDepth);
    const LabelPicture& p = cut.picture;
    // The first line of text under the axis's own stretch: beside it, left
    // of the Y axis, a Y label may reach below the X axis.
    std::vector<int> rows(std::size_t(p.height), 0);
    for (int y = 0; y < p.height; ++y)
        for (int x = kSide - 4; x < p.width - kSide + 4; ++x) rows[std::size_t(y)] += isPrint(p, x, y);
    auto lines = runs(rows, 2);
    std::erase_if(lines, [](const std::pair<int, int>& r) { return r.second - r.first < 3; });
    if (lines.empty()) return {};
    const auto [top, bottom] = lines.front();
    std::vector<int> columns(std::size_t(p.width), 0);
    for (int y = top; y <= bottom; ++y)
        for (int x = 0; x < p.width; ++x) columns[std::size_t(x)] += isPrint(p, x, y);
    // Blanks inside a label ("1e+03", "10 000") are narrower than the line is
    // high; labels stand further apart.
    const int gap = std::max(6, int(0.8 * (bottom - top + 1)));
    std::vector<LabelBox> labels;
    for (const auto& [left, right] : runs(columns, gap)) {
        const double middle = (left + right) / 2.0;
        const double along = axis.alongOf(cut.pointAt(middle, 0));
        if (along < axis.from - 30 || along > axis.to + 30) continue;
        labels.push_back(
            splitPower(along, part(p, left - kMargin, top - kMargin, right + kMargin, bottom + kMargin)));
    }
    return labels;
}

std::vector<LabelBox> labelsLeftOf(const InkMap& ink, const AxisLine& axis, double clearance)
{
    // Column = offset + slope·row: down the axis, and to its right.
    const double n = std::sqrt(1 + axis.slope * axis.slope);
    const PlanePoint ey{axis.slope / n, 1 / n}, ex{1 / n, -axis.slope / n};
    constexpr int kWidth = 160, kSide = 25;
    const PlanePoint start = axis.at(axis.from);
    const double back = clearance + kWidth;
    const PlanePoint origin{start.x - back * ex.x - kSide * ey.x, start.y - back * ex.y - kSide * ey.y};
    const Upright cut = cutUpright(ink, origin, ex, ey, kWidth, int(axis.to - axis.from) + 2 * kSide);
    const LabelPicture& p = cut.picture;
    std::vector<int> columns(std::size_t(p.width), 0);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) columns[std::size_t(x)] += isPrint(p, x, y);
    // The text nearest the axis: labels are right-aligned against it, the
    // axis title stands further off.
    std::vector<int> reversed(columns.rbegin(), columns.rend());
    const auto block = runs(reversed, 7);
    if (block.empty()) return {};
    const int right = p.width - 1 - block.front().first, left = p.width - 1 - block.front().second;
    std::vector<int> rows(std::size_t(p.height), 0);
    for (int y = 0; y < p.height; ++y)
        for (int x = left; x <= right; ++x) rows[std::size_t(y)] += isPrint(p, x, y);
    std::vector<LabelBox> labels;
    for (const auto& [top, bottom] : withRaisedParts(runs(rows, 1))) {
        const double along = axis.alongOf(cut.pointAt(kWidth, (top + bottom) / 2.0));
        if (along < axis.from - 6 || along > axis.to + 6) continue;
        // Only this label's own columns: right-aligned labels differ in width.
        int l = right, r = left;
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                if (isPrint(p, x, y)) l = std::min(l, x), r = std::max(r, x);
        labels.push_back(splitPower(along, part(p, l - kMargin, top - kMargin, r + kMargin, bottom + kMargin)));
    }
    return labels;
}

namespace {

// The base and the power side by side at one size, for OCR to read a lone
// raised digit as it reads the digits beside it.
LabelPicture besideAtOneSize(const LabelPicture& base, const LabelPicture& power)
{
    const double scale = double(base.height) / std::max(1, power.height);
    const int width = int(std::lround(power.width * scale)), gap = std::max(2, base.height / 3);
    LabelPicture out{base.width + gap + width, base.height, {}};
    out.ink.assign(std::size_t(out.width) * std::size_t(out.height), 0);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < base.width; ++x) out.ink[std::size_t(y * out.width + x)] = std::uint8_t(base.at(x, y));
        for (int x = 0; x < width; ++x)
            out.ink[std::size_t(y * out.width + base.width + gap + x)] =
                std::uint8_t(power.at(int(x / scale), int(y / scale)));
    }
    return out;
}

}  // namespace

std::string readLabel(LabelReader& reader, const LabelBox& label)
{
    std::string text = withSmallSigns(reader.read(label.base), label.base);
    if (label.power) {
        std::string power = reader.read(*label.power);
        if (power.empty() && !text.empty()) {
            const std::string both = reader.read(besideAtOneSize(label.base, *label.power));
            std::string joined;
            for (char c : both)
                if (c != ' ') joined += c;
            if (joined.size() > text.size() && joined.compare(0, text.size(), text) == 0) power = joined.substr(text.size());
        }
        // Without its power the label would read as another number.
        if (power.empty()) return {};
        if (!power.empty()) text += (label.powerNegative && power.front() != '-' ? "^-" : "^") + power;
    }
    return text;
}

}  // namespace vastrel::axes
