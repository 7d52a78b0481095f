#pragma once

namespace test
{

/** Counts heap allocations and mutex locks made by the calling thread while
    a Watch is alive. The counting replaces the C library's allocator entry
    points in the test executable, so it sees operator new, std::malloc and
    everything JUCE allocates. Not available under ThreadSanitizer, which
    owns those entry points itself.
*/
struct RealtimeWatch
{
    static bool isAvailable() noexcept;

    RealtimeWatch() noexcept;
    ~RealtimeWatch();

    int allocations() const noexcept;
    int locks() const noexcept;

    RealtimeWatch (const RealtimeWatch&) = delete;
    RealtimeWatch& operator= (const RealtimeWatch&) = delete;
};

} // namespace test
