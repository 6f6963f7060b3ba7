// The library's count of live objects and factory locks, which DllCanUnloadNow reports on.
//
// Contract
//   Every object the library hands out (QelRes objects, pictures, references on the class
//   factory) holds one count from its creation to its destruction; so does each
//   lockServer(true) until its lockServer(false). Thread-safe.
#pragma once

namespace qel::module {

void lock() noexcept;
void unlock() noexcept;
long count() noexcept;

// Holds one count for as long as it lives; a member of every object the library makes.
class Lock {
public:
    Lock() noexcept { lock(); }
    ~Lock() { unlock(); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
};

}  // namespace qel::module
