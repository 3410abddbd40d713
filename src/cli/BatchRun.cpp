#include "cli/BatchRun.h"

#include "cli/FileNames.h"
#include "cli/MemoryBudget.h"
#include "cli/Progress.h"
#include "engine/image/ImageDecoding.h"
#include "engine/results/WholeFile.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <new>
#include <sched.h>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace vastrel::cli {

namespace {

using Clock = std::chrono::steady_clock;

// How often the progress line is redrawn: often enough to look alive, rarely
// enough to cost nothing.
constexpr auto kRedrawInterval = std::chrono::milliseconds(200);

// Finished files waiting for a writer; beyond this the workers wait, so
// that a slow disk cannot make the batch hold every result in memory.
constexpr std::size_t kMaxWaiting = 32;

// Clears the line the cursor stands on, for a message or a redrawn progress line.
constexpr const char* kClearLine = "\r\033[K";

// Said of an image that ran out of memory even alone.
const QString kNoMemory = QStringLiteral("not enough memory to digitize this image");

struct FinishedImage {
    std::size_t index;  // of the task
    std::string bytes;
};

class Batch {
public:
    Batch(const OutputPlan& plan, const DigitizeSettings& digitizing, const BatchSettings& settings)
        : plan_(plan), digitizing_(digitizing), settings_(settings), started_(Clock::now())
    {
        // Made now, so that reporting an image never needs memory it may lack.
        shownNames_.reserve(plan.tasks.size());
        for (const ImageTask& task : plan.tasks) shownNames_.push_back(printableName(task.image).toLocal8Bit());
    }

    int run()
    {
        const std::size_t wanted = std::min(static_cast<std::size_t>(std::max(settings_.jobs, 1)),
                                            std::max<std::size_t>(plan_.tasks.size(), 1));
        std::vector<std::thread> threads;
        threads.reserve(2 * wanted);
        std::size_t digitizers = 0;
        // The system may refuse threads (a memory or process limit): the batch
        // goes on with those it got, and on this thread alone if it got none.
        try {
            while (digitizers < wanted) {
                threads.emplace_back([this] { digitizeImages(); });
                ++digitizers;
                threads.emplace_back([this] { writeFiles(); });
                ++writers_;
            }
        } catch (const std::system_error&) {
            if (digitizers < wanted)
                sayOnce(QStringLiteral("vastrel-digitizer: the system gave %1 of the %2 jobs asked for; going on "
                                       "with %1\n")
                            .arg(std::max<std::size_t>(digitizers, 1))
                            .arg(wanted));
        }
        if (digitizers == 0) digitizeImages();
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
            ImageOutcome outcome = digitizeWithinBudget(digitizer, plan_.tasks[i].image);
            std::unique_lock lock(mutex_);
            if (!outcome.warning.isEmpty()) report(i, QStringLiteral("warning: %1").arg(outcome.warning), false);
            if (!outcome.ok()) {
                finish(i, outcome.failure);
                continue;
            }
            if (writers_ == 0) {
                // No writer could be started: this worker writes its own files.
                lock.unlock();
                const QString failure = write({i, std::move(outcome.bytes)});
                lock.lock();
                finish(i, failure);
                continue;
            }
            changed_.wait(lock, [this] { return waiting_.size() < kMaxWaiting; });
            waiting_.push_back({i, std::move(outcome.bytes)});
            changed_.notify_all();
        }
    }

    // Whatever goes wrong with one image is that image's failure. Out of
    // memory beside the others, an image is tried once more alone; out of
    // memory alone, it is reported, and the batch goes on.
    ImageOutcome digitizeWithinBudget(ImageDigitizer& digitizer, const QString& image)
    {
        try {
            auto opened = image::openImageFile(fileSystemName(image));
            if (const auto* failure = std::get_if<image::ImageLoadFailure>(&opened)) {
                ImageOutcome refused;
                refused.failure = QStringLiteral("cannot read the image: %1").arg(failure->reason);
                return refused;
            }
            QFile& file = *std::get<std::unique_ptr<QFile>>(opened);
            {
                const Reservation share(budget_, image::decodingFootprint(file));
                if (ImageOutcome outcome = attempt(digitizer, file, image); !outcome.outOfMemory) return outcome;
            }
            const Reservation alone(budget_);
            file.seek(0);
            ImageOutcome outcome = attempt(digitizer, file, image);
            if (outcome.outOfMemory) outcome.failure = kNoMemory;
            return outcome;
        } catch (const std::exception& error) {
            ImageOutcome failed;
            failed.failure =
                dynamic_cast<const std::bad_alloc*>(&error)
                    ? kNoMemory
                    : QStringLiteral("could not be digitized: %1").arg(QString::fromLocal8Bit(error.what()));
            return failed;
        }
    }

    static ImageOutcome attempt(ImageDigitizer& digitizer, QIODevice& file, const QString& image)
    {
        try {
            return digitizer.digitize(file, image);
        } catch (const std::bad_alloc&) {
            ImageOutcome shortage;
            shortage.failure = kNoMemory;
            shortage.outOfMemory = true;
            return shortage;
        }
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
            finish(image.index, failure);
        }
    }

    QString write(const FinishedImage& image) const
    {
        try {
            const ImageTask& task = plan_.tasks[image.index];
            const std::string& bytes = image.bytes;
            if (task.output.isEmpty()) {
                const bool written =
                    std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
                return written ? QString() : QStringLiteral("cannot write to standard output");
            }
            // In a folder of results, whatever is not a file in a result's
            // place is left alone; a device or a pipe named by -o is written to.
            const auto special =
                plan_.folder.isEmpty() ? results::SpecialTarget::WriteInto : results::SpecialTarget::Refuse;
            if (const std::optional<QString> reason =
                    results::writeWholeFile(fileSystemName(task.output), bytes, special))
                return QStringLiteral("cannot write %1: %2").arg(printableName(task.output), *reason);
            return {};
        } catch (const std::bad_alloc&) {
            return QStringLiteral("not enough memory to write its file");
        }
    }

    // Called with the mutex held, once per task.
    void finish(std::size_t index, const QString& failure)
    {
        if (!failure.isEmpty()) report(index, failure, true);
        ++done_;
        // Also while this thread does the work alone and cannot wait to redraw.
        if (settings_.showProgress && Clock::now() - lastDrawn_ >= kRedrawInterval) drawProgress();
        changed_.notify_all();
    }

    // Called with the mutex held. The line names the image; when memory is
    // short it still does, with the reason it could not spell out.
    void report(std::size_t index, const QString& text, bool failure)
    {
        if (failure) ++failed_;
        if (settings_.showProgress) std::fputs(kClearLine, settings_.errors);
        const QByteArray& name = shownNames_[index];
        std::fputs("vastrel-digitizer: ", settings_.errors);
        std::fwrite(name.constData(), 1, static_cast<std::size_t>(name.size()), settings_.errors);
        std::fputs(": ", settings_.errors);
        try {
            const QByteArray words = text.toLocal8Bit();
            std::fwrite(words.constData(), 1, static_cast<std::size_t>(words.size()), settings_.errors);
        } catch (const std::bad_alloc&) {
            std::fputs("not enough memory", settings_.errors);
        }
        std::fputc('\n', settings_.errors);
        std::fflush(settings_.errors);
    }

    // Called before the workers run.
    void sayOnce(const QString& text)
    {
        const QByteArray line = text.toLocal8Bit();
        std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), settings_.errors);
        std::fflush(settings_.errors);
    }

    // Called with the mutex held.
    void drawProgress()
    {
        const double elapsed = std::chrono::duration<double>(Clock::now() - started_).count();
        lastDrawn_ = Clock::now();
        const std::string line = kClearLine + progressLine(done_, plan_.tasks.size(), elapsed);
        std::fputs(line.c_str(), settings_.errors);
        std::fflush(settings_.errors);
    }

    const OutputPlan& plan_;
    const DigitizeSettings& digitizing_;
    const BatchSettings& settings_;
    const Clock::time_point started_;
    std::atomic<std::size_t> next_{0};
    std::atomic<int> writers_{0};
    MemoryBudget budget_{memoryForImages()};
    std::vector<QByteArray> shownNames_;

    // Everything below is guarded by mutex_; changed_ tells every waiter that
    // something of it changed.
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<FinishedImage> waiting_;
    std::size_t done_ = 0;
    int failed_ = 0;
    Clock::time_point lastDrawn_{};
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
