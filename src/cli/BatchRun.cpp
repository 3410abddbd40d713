#include "cli/BatchRun.h"

#include "cli/Progress.h"
#include "engine/results/CsvFile.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
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

// Clears the line the cursor stands on, for a message or a redrawn progress line.
constexpr const char* kClearLine = "\r\033[K";

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
        threads.reserve(workers);
        for (std::size_t i = 0; i < workers; ++i) threads.emplace_back([this] { work(); });
        {
            std::unique_lock lock(mutex_);
            while (!allDone_.wait_for(lock, kRedrawInterval, [this] { return done_ == plan_.tasks.size(); }))
                if (settings_.showProgress) drawProgress();
        }
        for (std::thread& thread : threads) thread.join();
        if (settings_.showProgress) {
            drawProgress();
            std::fputc('\n', settings_.errors);
        }
        return failed_;
    }

private:
    void work()
    {
        for (std::size_t i; (i = next_.fetch_add(1)) < plan_.tasks.size();) {
            const ImageTask& task = plan_.tasks[i];
            const QString failure = digitizeAndWrite(task);
            std::lock_guard lock(mutex_);
            if (!failure.isEmpty()) report(task.image, failure);
            if (++done_ == plan_.tasks.size()) allDone_.notify_one();
        }
    }

    QString digitizeAndWrite(const ImageTask& task) const
    {
        const ImageOutcome outcome = digitizeImageFile(task.image, digitizing_);
        if (!outcome.ok()) return outcome.failure;
        if (task.output.isEmpty()) {
            const bool written = std::fwrite(outcome.csv.data(), 1, outcome.csv.size(), stdout) == outcome.csv.size() &&
                                 std::fflush(stdout) == 0;
            return written ? QString() : QStringLiteral("cannot write to standard output");
        }
        if (const std::optional<QString> reason = results::writeWholeFile(task.output, outcome.csv))
            return QStringLiteral("cannot write %1: %2").arg(task.output, *reason);
        return {};
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
    std::mutex mutex_;
    std::condition_variable allDone_;
    std::size_t done_ = 0;
    int failed_ = 0;
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
