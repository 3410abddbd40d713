#include "ocr/OcrThreads.h"

#include <cstdlib>
#include <unistd.h>

namespace vastrel::ocr {

void restartWithOneOcrThread(char* argv[])
{
    if (std::getenv("OMP_THREAD_LIMIT")) return;
    ::setenv("OMP_THREAD_LIMIT", "1", 1);
    ::execv("/proc/self/exe", argv);
}

}  // namespace vastrel::ocr
