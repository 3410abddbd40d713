#include "cli/Progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vastrel::cli {

namespace {

// m:ss, or h:mm:ss from an hour on. Time left is rounded up, so that
// "0:00 left" never shows while work remains.
std::string clockText(double seconds, bool roundUp)
{
    seconds = std::max(seconds, 0.0);
    const auto whole = static_cast<long long>(roundUp ? std::ceil(seconds) : std::round(seconds));
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

}  // namespace

std::string progressLine(std::size_t done, std::size_t total, double elapsedSeconds)
{
    std::string line = std::to_string(done) + "/" + std::to_string(total) + " images";
    if (done == 0 || !(elapsedSeconds > 0.0)) return line;
    const double rate = static_cast<double>(done) / elapsedSeconds;
    char rateText[32];
    std::snprintf(rateText, sizeof rateText, "  %.1f images/s  ", rate);
    line += rateText;
    if (done >= total) return line + "done in " + clockText(elapsedSeconds, false);
    return line + clockText(static_cast<double>(total - done) / rate, true) + " left";
}

}  // namespace vastrel::cli
