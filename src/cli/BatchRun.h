#pragma once
// Digitizing many images at once, one worker thread per job, each CSV written
// as soon as its image is done.

#include "cli/ImageJob.h"
#include "cli/OutputPlan.h"

#include <cstdio>

namespace vastrel::cli {

struct BatchSettings {
    int jobs = 1;  // worker threads; never more than there are images
    std::FILE* errors = stderr;
    bool showProgress = false;  // a progress line on `errors`, redrawn in place
};

// Runs every task of the plan. Each image that gives no CSV file is reported
// on `errors` at once, naming the image, and the others go on. Returns how
// many images failed.
int runBatch(const OutputPlan& plan, const DigitizeSettings& digitizing, const BatchSettings& batch);

// The number of processors this process may run on.
int availableCores();

}  // namespace vastrel::cli
