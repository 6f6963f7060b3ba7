// The library's count of live objects and factory locks.
#include "Module.h"

#include <atomic>

namespace qel::module {
namespace {
std::atomic<long> g_count{0};
}

void lock() noexcept
{
    g_count.fetch_add(1, std::memory_order_relaxed);
}

void unlock() noexcept
{
    g_count.fetch_sub(1, std::memory_order_acq_rel);
}

long count() noexcept
{
    return g_count.load(std::memory_order_acquire);
}

}  // namespace qel::module
