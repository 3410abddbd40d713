#pragma once
// The memory the images being digitized at the same time may take together.
// A worker reserves an image's share before reading it and waits while the
// others hold too much, so that many large images on many processors cannot
// take more memory than the machine has; one image alone always goes ahead,
// whatever its share.

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace vastrel::cli {

class MemoryBudget {
public:
    explicit MemoryBudget(std::int64_t capacity) : capacity_(capacity) {}

    // Waits until `bytes` fit beside what is reserved, or nothing is.
    void reserve(std::int64_t bytes);
    void release(std::int64_t bytes);
    // Waits until nothing is reserved, then holds the whole budget: for an
    // image that ran out of memory beside the others, to try it once alone.
    std::int64_t reserveAll();

    std::int64_t capacity() const { return capacity_; }

private:
    const std::int64_t capacity_;
    std::int64_t reserved_ = 0;
    int waitingForAll_ = 0;
    std::mutex mutex_;
    std::condition_variable released_;
};

// Half of the machine's memory: room for the decoding, and for the rest of
// what runs beside it.
std::int64_t halfOfPhysicalMemory();

}  // namespace vastrel::cli
