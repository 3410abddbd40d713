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

// Holds `bytes` of a budget (or all of it) for as long as it lives.
class Reservation {
public:
    Reservation(MemoryBudget& budget, std::int64_t bytes) : budget_(budget), bytes_(bytes) { budget.reserve(bytes); }
    explicit Reservation(MemoryBudget& budget) : budget_(budget), bytes_(budget.reserveAll()) {}
    ~Reservation() { budget_.release(bytes_); }
    Reservation(const Reservation&) = delete;
    Reservation& operator=(const Reservation&) = delete;

private:
    MemoryBudget& budget_;
    const std::int64_t bytes_;
};

// Half of the machine's memory: room for the decoding, and for the rest of
// what runs beside it.
std::int64_t halfOfPhysicalMemory();

// What the images of a batch may take together: half of the machine's
// memory, and under an address-space limit (ulimit -v) no more than half of
// the room the process has left below it.
std::int64_t memoryForImages();

// Under an address-space limit (ulimit -v) every thread would set aside 8 MB
// of it for its stack and 64 MB for its own malloc arena, most of it never
// used: threads made afterwards get smaller stacks and share one heap.
void fitUnderAnAddressSpaceLimit();

// How many of `wanted` jobs fit: all without an address-space limit; under
// one, as many as leave three quarters of the room for the images, and at
// least one.
int jobsThatFit(int wanted);

}  // namespace vastrel::cli
