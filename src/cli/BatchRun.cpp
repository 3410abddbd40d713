#include "cli/BatchRun.h"

#include "cli/MemoryBudget.h"
#include "cli/Progress.h"
#include "engine/image/ImageDecoding.h"
#include "engine/results/CsvFile.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <new>
#include <sched.h>
#include <string>
#include <thread>
#include <vector>

namespace vastrel::cli {

namespace {

using Clock = std::chrono::steady_clock;

// How often the progress line is redrawn: often enough to look alive, rarely
// enough to cost nothing.
constexpr auto kRedrawInterval = std::chrono::milliseconds(200);

// Finished CSV texts waiting for a writer; beyond this the workers wait, so
// that a slow disk cannot make the batch hold every result in memory.
constexpr std::size_t kMaxWaiting = 32;

// Clears the line the cursor stands on, for a message or a redrawn progress line.
constexpr const char* kClearLine = "\r\033[K";

struct FinishedImage {
    const ImageTask* task;
    std::string csv;
};

class Batch {
public:
    Batch(const OutputPlan& plan, const DigitizeSettings& digitizing, const BatchSettings& settings)
        : plan_(plan), digitizing_(digitizing), settings_(settings), started_(Clock::now())
    {}

    int run()
    {
        const std::size_t workers = std::min(static_cast<std::size_t>(std::max(settings_.jobs, 1)),
                                             std::max<std::size_t>(plan_.tasks.size(), 1));
        std::vector<std::thread> threads;
        threads.reserve(2 * workers);
        for (std::size_t i = 0; i < workers; ++i) {
            threads.emplace_back([this] { digitizeImages(); });
            threads.emplace_back([this] { writeFiles(); });
        }
        {
            std::unique_lock lock(mutex_);
            while (!changed_.wait_for(lock, kRedrawInterval, [this] { return done_ == plan_.tasks.size(); }))
                if (settings_.showProgress) drawProgress();
            closing_ = true;
        }
        changed_.notify_all();
        for (std::thread& thread : threads) thread.join();
        if (settings_.showProgress) {
            drawProgress();
            std::fputc('\n', settings_.errors);
        }
        return failed_;
    }

private:
    void digitizeImages()
    {
        ImageDigitizer digitizer(digitizing_);
        for (std::size_t i; (i = next_.fetch_add(1)) < plan_.tasks.size();) {
            const ImageTask& task = plan_.tasks[i];
            ImageOutcome outcome = digitizeWithinBudget(digitizer, task.image);
            std::unique_lock lock(mutex_);
            if (!outcome.ok()) {
                finish(task, outcome.failure);
                continue;
            }
            changed_.wait(lock, [this] { return waiting_.size() < kMaxWaiting; });
            waiting_.push_back({&task, std::move(outcome.csv)});
            changed_.notify_all();
        }
    }

    // Out of memory beside the others, an image is tried once more alone;
    // out of memory alone, it is reported like any image that cannot be read,
    // and the batch goes on.
    ImageOutcome digitizeWithinBudget(ImageDigitizer& digitizer, const QString& image)
    {
        const std::int64_t share = image::decodingFootprint(image);
        budget_.reserve(share);
        try {
            ImageOutcome outcome = digitizer.digitizeFile(image);
            budget_.release(share);
            return outcome;
        } catch (const std::bad_alloc&) {
            budget_.release(share);
        }
        const std::int64_t whole = budget_.reserveAll();
        ImageOutcome outcome;
        try {
            outcome = digitizer.digitizeFile(image);
        } catch (const std::bad_alloc&) {
            outcome = ImageOutcome{};
            outcome.failure = QStringLiteral("not enough memory to digitize this image");
        }
        budget_.release(whole);
        return outcome;
    }

    void writeFiles()
    {
        std::unique_lock lock(mutex_);
        while (true) {
            changed_.wait(lock, [this] { return !waiting_.empty() || closing_; });
            if (waiting_.empty()) return;
            const FinishedImage image = std::move(waiting_.front());
            waiting_.pop_front();
            changed_.notify_all();
            lock.unlock();
            const QString failure = write(image);
            lock.lock();
            finish(*image.task, failure);
        }
    }

    static QString write(const FinishedImage& image)
    {
        const std::string& csv = image.csv;
        if (image.task->output.isEmpty()) {
            const bool written =
                std::fwrite(csv.data(), 1, csv.size(), stdout) == csv.size() && std::fflush(stdout) == 0;
            return written ? QString() : QStringLiteral("cannot write to standard output");
        }
        if (const std::optional<QString> reason = results::writeWholeFile(image.task->output, csv))
            return QStringLiteral("cannot write %1: %2").arg(image.task->output, *reason);
        return {};
    }

    // Called with the mutex held, once per task.
    void finish(const ImageTask& task, const QString& failure)
    {
        if (!failure.isEmpty()) report(task.image, failure);
        ++done_;
        changed_.notify_all();
    }

    // Called with the mutex held.
    void report(const QString& image, const QString& failure)
    {
        ++failed_;
        if (settings_.showProgress) std::fputs(kClearLine, settings_.errors);
        const QByteArray line = QStringLiteral("vastrel-digitizer: %1: %2\n").arg(image, failure).toLocal8Bit();
        std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), settings_.errors);
        std::fflush(settings_.errors);
    }

    // Called with the mutex held.
    void drawProgress()
    {
        const double elapsed = std::chrono::duration<double>(Clock::now() - started_).count();
        const std::string line = kClearLine + progressLine(done_, plan_.tasks.size(), elapsed);
        std::fputs(line.c_str(), settings_.errors);
        std::fflush(settings_.errors);
    }

    const OutputPlan& plan_;
    const DigitizeSettings& digitizing_;
    const BatchSettings& settings_;
    const Clock::time_point started_;
    std::atomic<std::size_t> next_{0};
    MemoryBudget budget_{halfOfPhysicalMemory()};

    // Everything below is guarded by mutex_; changed_ tells every waiter that
    // something of it changed.
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<FinishedImage> waiting_;
    std::size_t done_ = 0;
    int failed_ = 0;
    bool closing_ = false;
};

}  // namespace

int runBatch(const OutputPlan& plan, const DigitizeSettings& digitizing, const BatchSettings& batch)
{
    return Batch(plan, digitizing, batch).run();
}

int availableCores()
{
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof allowed, &allowed) == 0) return std::max(CPU_COUNT(&allowed), 1);
    return static_cast<int>(std::max(std::thread::hardware_concurrency(), 1u));
}

}  // namespace vastrel::cli
