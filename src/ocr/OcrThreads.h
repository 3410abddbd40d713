#pragma once
// Tesseract recognises a line with OpenMP teams of threads. For the short
// tick labels read here they cost more to start and wake than they save:
// on two cores a graph's labels read five times slower than on one thread,
// and a batch's workers each start their own teams. The OpenMP runtime reads
// its thread limit only as it loads, before main, so the program starts
// itself once more with the limit set.

namespace vastrel::ocr {

// Restarts the program with OCR on one thread, unless a limit is set
// already (by the user too, whose limit is kept). Returns only when it has
// not restarted: the limit was set, or the program cannot find itself, in
// which case it runs on as it is.
void restartWithOneOcrThread(char* argv[]);

}  // namespace vastrel::ocr
