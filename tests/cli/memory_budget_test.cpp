// The memory budget of a batch: an image alone always goes ahead, and shares
// held by several workers come back whole, so that nobody waits for ever.

#include "cli/MemoryBudget.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using vastrel::cli::MemoryBudget;

TEST(MemoryBudget, AnImageAloneGoesAheadWhateverItsShare)
{
    MemoryBudget budget(100);
    budget.reserve(1000);
    budget.release(1000);
    EXPECT_EQ(budget.reserveAll(), 100);
}

TEST(MemoryBudget, WorkersWaitingForRoomAllGetIt)
{
    MemoryBudget budget(100);
    budget.reserve(60);
    std::vector<std::thread> workers;
    for (int i = 0; i < 4; ++i)
        workers.emplace_back([&budget] {
            for (int image = 0; image < 200; ++image) {
                budget.reserve(60);  // no two at once: each waits for the other to release
                budget.release(60);
            }
        });
    std::thread alone([&budget] { budget.release(budget.reserveAll()); });
    budget.release(60);
    for (std::thread& worker : workers) worker.join();
    alone.join();
    EXPECT_EQ(budget.reserveAll(), 100);  // nothing is left reserved
}
