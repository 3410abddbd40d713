#include "ocr/TesseractLabelReader.h"

#include <tesseract/baseapi.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vastrel::ocr {

namespace {

// The recogniser reads best when characters are some 30 pixels high;
// printed tick labels are a third of that.
constexpr int kTextHeight = 36;
constexpr int kPadding = 12;

// Dark characters on white paper, scaled up smoothly and with a margin.
std::vector<unsigned char> prepared(const axes::LabelPicture& label, int& width, int& height)
{
    const double scale = std::clamp(double(kTextHeight) / std::max(1, label.height), 1.0, 8.0);
    // A scan's small print is grey and soft: its ink is stretched to full
    // black, the faintest fifth dropped as paper.
    int strongest = 1;
    for (std::uint8_t v : label.ink) strongest = std::max<int>(strongest, v);
    auto stretched = [&](double ink) { return std::clamp((ink / strongest - 0.2) / 0.6, 0.0, 1.0) * 255.0; };
    const int w = int(std::lround(label.width * scale)), h = int(std::lround(label.height * scale));
    width = w + 2 * kPadding;
    height = h + 2 * kPadding;
    std::vector<unsigned char> gray(std::size_t(width) * std::size_t(height), 255);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double sx = (x + 0.5) / scale - 0.5, sy = (y + 0.5) / scale - 0.5;
            const int x0 = int(std::floor(sx)), y0 = int(std::floor(sy));
            const double fx = sx - x0, fy = sy - y0;
            const double ink = (1 - fy) * ((1 - fx) * label.at(x0, y0) + fx * label.at(x0 + 1, y0)) +
                               fy * ((1 - fx) * label.at(x0, y0 + 1) + fx * label.at(x0 + 1, y0 + 1));
            gray[std::size_t(y + kPadding) * std::size_t(width) + std::size_t(x + kPadding)] =
                static_cast<unsigned char>(255 - std::lround(stretched(ink)));
        }
    return gray;
}

}  // namespace

TesseractLabelReader::TesseractLabelReader() : api_(std::make_unique<tesseract::TessBaseAPI>())
{
    // No dictionaries: a label is digits, not English words.
    const char* names[] = {"load_system_dawg", "load_freq_dawg"};
    const char* values[] = {"0", "0"};
    std::vector<std::string> keys(std::begin(names), std::end(names));
    std::vector<std::string> settings(std::begin(values), std::end(values));
    ready_ = api_->Init(nullptr, "eng", tesseract::OEM_LSTM_ONLY, nullptr, 0, &keys, &settings, false) == 0;
    if (!ready_) return;
    api_->SetPageSegMode(tesseract::PSM_SINGLE_LINE);
    api_->SetVariable("tessedit_char_whitelist", "0123456789.,-+eE%x^\u2212\u00D7");
    api_->SetVariable("debug_file", "/dev/null");
}

TesseractLabelReader::~TesseractLabelReader()
{
    if (ready_) api_->End();
}

std::string TesseractLabelReader::read(const axes::LabelPicture& label)
{
    if (!ready_ || label.width <= 0 || label.height <= 0) return {};
    int width = 0, height = 0;
    const std::vector<unsigned char> gray = prepared(label, width, height);
    api_->SetImage(gray.data(), width, height, 1, width);
    api_->SetSourceResolution(300);
    const std::unique_ptr<char[]> text(api_->GetUTF8Text());
    std::string out = text ? std::string(text.get()) : std::string();
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    if (out.empty()) {
        // A lone character, as a power's digit often is, is read better as one.
        api_->SetPageSegMode(tesseract::PSM_SINGLE_CHAR);
        const std::unique_ptr<char[]> single(api_->GetUTF8Text());
        api_->SetPageSegMode(tesseract::PSM_SINGLE_LINE);
        out = single ? std::string(single.get()) : std::string();
        while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    }
    return out;
}

}  // namespace vastrel::ocr
