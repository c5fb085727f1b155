#pragma once

#include <chrono>
#include <functional>

namespace zelvo::app {

// Slows down guessing at the login. After five failed logins in a row, each further attempt
// waits 1 s, then 2 s, 4 s ... and never more than 30 s. It counts within one run of the program;
// a successful login starts the count afresh. The clock is given so that tests need not wait.
class LoginThrottle {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    static constexpr int freeAttempts = 5;
    static constexpr std::chrono::seconds longestWait{30};

    explicit LoginThrottle(Clock clock = &std::chrono::steady_clock::now);
    void setClock(Clock clock) { m_clock = std::move(clock); }

    void recordFailure();
    void recordSuccess();
    int failuresInARow() const { return m_failures; }

    // Whole seconds, rounded up, before the next attempt may start; zero when it may now.
    std::chrono::seconds remaining() const;
    // The wait that follows a given number of failures in a row.
    static std::chrono::seconds waitAfter(int failuresInARow);

private:
    Clock m_clock;
    int m_failures = 0;
    std::chrono::steady_clock::time_point m_readyAt{};
};

} // namespace zelvo::app
