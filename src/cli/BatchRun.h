#pragma once
// Digitizing many images at once: one worker thread per job, each keeping a
// processor busy, and as many writers, so that waiting for the disk to take a
// file never holds a worker up.

#include "cli/ImageJob.h"
#include "cli/OutputPlan.h"

#include <cstdio>

namespace vastrel::cli {

struct BatchSettings {
    int jobs = 1;  // images digitized at the same time; never more than there are images
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
