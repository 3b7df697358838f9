// The machine's clock: real for interactive use, virtual in tests so that waits cost nothing.
#pragma once

#include <cstdint>
#include <mutex>

namespace yolt::machine {

class Clock {
public:
    virtual ~Clock() = default;
    /// Milliseconds since an arbitrary start, never going back.
    virtual uint64_t NowMs() = 0;
    /// Lets `ms` milliseconds pass: a real sleep, or an advance of the virtual time.
    virtual void Sleep(uint32_t ms) = 0;
    virtual bool IsVirtual() const = 0;
};

/// Wall-clock time from the monotonic clock.
class RealClock final : public Clock {
public:
    uint64_t NowMs() override;
    void Sleep(uint32_t ms) override;
    bool IsVirtual() const override { return false; }
};

/// Time that moves only when someone sleeps or advances it.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(uint64_t startMs = 1000) : m_now(startMs) {}
    uint64_t NowMs() override;
    void Sleep(uint32_t ms) override { Advance(ms); }
    bool IsVirtual() const override { return true; }
    void Advance(uint64_t ms);

private:
    std::mutex m_lock;
    uint64_t m_now;
};

}  // namespace yolt::machine
