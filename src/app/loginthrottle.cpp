#include "app/loginthrottle.h"

#include <algorithm>

namespace zelvo::app {

using std::chrono::seconds;

LoginThrottle::LoginThrottle(Clock clock) : m_clock(std::move(clock)) {}

seconds LoginThrottle::waitAfter(int failuresInARow)
{
    if (failuresInARow < freeAttempts)
        return seconds(0);
    // doubling from 1 s reaches the ceiling after a handful of steps; stop shifting there
    const int doublings = std::min(failuresInARow - freeAttempts, 5);
    return std::min(seconds(1LL << doublings), longestWait);
}

void LoginThrottle::recordFailure()
{
    ++m_failures;
    m_readyAt = m_clock() + waitAfter(m_failures);
}

void LoginThrottle::recordSuccess()
{
    m_failures = 0;
    m_readyAt = {};
}

seconds LoginThrottle::remaining() const
{
    const auto left = m_readyAt - m_clock();
    if (left <= left.zero())
        return seconds(0);
    return std::chrono::ceil<seconds>(left);
}

} // namespace zelvo::app
