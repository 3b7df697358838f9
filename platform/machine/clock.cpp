#include "platform/machine/clock.h"

#include <chrono>
#include <thread>

namespace yolt::machine {

uint64_t RealClock::NowMs()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void RealClock::Sleep(uint32_t ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

uint64_t VirtualClock::NowMs()
{
    std::lock_guard guard(m_lock);
    return m_now;
}

void VirtualClock::Advance(uint64_t ms)
{
    std::lock_guard guard(m_lock);
    m_now += ms;
}

}  // namespace yolt::machine
