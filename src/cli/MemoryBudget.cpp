#include "cli/MemoryBudget.h"

#include <algorithm>
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

}  // namespace vastrel::cli
