#include "cli/MemoryBudget.h"

#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

namespace vastrel::cli {

void MemoryBudget::reserve(std::int64_t bytes)
{
    std::unique_lock lock(mutex_);
    // One waiting to be alone goes first, or it could wait for ever.
    released_.wait(lock, [&] { return waitingForAll_ == 0 && (reserved_ == 0 || reserved_ + bytes <= capacity_); });
    reserved_ += bytes;
}

void MemoryBudget::release(std::int64_t bytes)
{
    {
        const std::lock_guard lock(mutex_);
        reserved_ -= bytes;
    }
    released_.notify_all();
}

std::int64_t MemoryBudget::reserveAll()
{
    std::unique_lock lock(mutex_);
    ++waitingForAll_;
    released_.wait(lock, [&] { return reserved_ == 0; });
    --waitingForAll_;
    reserved_ = std::max<std::int64_t>(capacity_, 1);
    return reserved_;
}

std::int64_t halfOfPhysicalMemory()
{
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGE_SIZE);
    constexpr std::int64_t kFallback = std::int64_t(2) << 30;
    if (pages <= 0 || pageSize <= 0) return kFallback;
    return static_cast<std::int64_t>(pages) * pageSize / 2;
}

namespace {

// Decoding and scanning need a fraction of this.
constexpr std::size_t kLimitedThreadStack = std::size_t(2) << 20;

// The address-space limit, if one is set.
std::int64_t addressSpaceLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 0;
    return static_cast<std::int64_t>(limit.rlim_cur);
}

// The address space the process takes now.
std::int64_t addressSpaceInUse()
{
    long pages = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
        std::fclose(statm);
    }
    return static_cast<std::int64_t>(pages) * sysconf(_SC_PAGE_SIZE);
}

}  // namespace

std::int64_t memoryForImages()
{
    const std::int64_t half = halfOfPhysicalMemory();
    const std::int64_t limit = addressSpaceLimit();
    if (limit == 0) return half;
    return std::clamp<std::int64_t>((limit - addressSpaceInUse()) / 2, 1, half);
}

void fitUnderAnAddressSpaceLimit()
{
    if (addressSpaceLimit() == 0) return;
    mallopt(M_ARENA_MAX, 1);
    pthread_attr_t small;
    if (pthread_attr_init(&small) != 0) return;
    if (pthread_attr_setstacksize(&small, kLimitedThreadStack) == 0) pthread_setattr_default_np(&small);
    pthread_attr_destroy(&small);
}

int jobsThatFit(int wanted)
{
    const std::int64_t limit = addressSpaceLimit();
    if (limit == 0) return wanted;
    // A job is a digitizing and a writing thread.
    const std::int64_t fit = (limit - addressSpaceInUse()) / 4 / (2 * std::int64_t(kLimitedThreadStack));
    return static_cast<int>(std::clamp<std::int64_t>(fit, 1, wanted));
}

}  // namespace vastrel::cli
