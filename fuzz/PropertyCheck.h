#pragma once
// A broken property ends the run the way a crash does, so that libFuzzer
// keeps the input and reports it.

#include <cstdio>
#include <cstdlib>
#include <string>

namespace vastrel::fuzz {

[[noreturn]] inline void propertyBroken(const char* property, const std::string& detail)
{
    std::fprintf(stderr, "\n*** property broken: %s\n    %s\n", property, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

}  // namespace vastrel::fuzz
