#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <optional>

namespace tarv::audio {

// A fixed-capacity ring for exactly one producer thread and one consumer
// thread. Neither side ever blocks or allocates, which is what lets the
// audio thread exchange commands and notices with the GUI thread.
template <typename T, std::size_t Capacity>
class SpscQueue
{
    static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0,
                  "capacity must be a power of two");

public:
    // Producer side. Returns false when the ring is full; nothing is written.
    bool Push(const T& value) noexcept
    {
        const std::size_t head = m_head.load(std::memory_order_relaxed);
        const std::size_t tail = m_tail.load(std::memory_order_acquire);
        if (head - tail == Capacity)
            return false;
        m_items[head & (Capacity - 1)] = value;
        m_head.store(head + 1, std::memory_order_release);
        return true;
    }

    // How many items are queued. From the producer side it may overstate,
    // never understate, which is the safe side for checking room.
    std::size_t Size() const noexcept
    {
        const std::size_t tail = m_tail.load(std::memory_order_acquire);
        return m_head.load(std::memory_order_acquire) - tail;
    }

    // Consumer side.
    std::optional<T> Pop() noexcept
    {
        const std::size_t tail = m_tail.load(std::memory_order_relaxed);
        const std::size_t head = m_head.load(std::memory_order_acquire);
        if (head == tail)
            return std::nullopt;
        T value = m_items[tail & (Capacity - 1)];
        m_tail.store(tail + 1, std::memory_order_release);
        return value;
    }

private:
    std::array<T, Capacity> m_items{};
    alignas(64) std::atomic<std::size_t> m_head{0};
    alignas(64) std::atomic<std::size_t> m_tail{0};
};

} // namespace tarv::audio
