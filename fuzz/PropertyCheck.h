#pragma once
// A broken property ends the run the way a crash does, so that libFuzzer
// keeps the input and reports it.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace vastrel::fuzz {

[[noreturn]] inline void propertyBroken(const char* property, const std::string& detail)
{
    std::fprintf(stderr, "\n*** property broken: %s\n    %s\n", property, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

// Control bytes, NULs and backslashes made visible for the report; other
// bytes (UTF-8 text among them) stay as they are.
inline std::string escaped(std::string_view bytes)
{
    std::string out;
    for (const unsigned char c : bytes) {
        if (c >= 0x20 && c != 0x7f && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02x", c);
            out += code;
        }
    }
    return out;
}

}  // namespace vastrel::fuzz
