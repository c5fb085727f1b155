// A loopback TCP listener that hands every byte on to the server's Unix socket and back, each
// chunk after a fixed delay, counting the round trips: the times the client speaks again after
// the server has answered. It runs in a thread of its own, so that a program blocked in a
// database call still has its traffic carried.
#pragma once

#include <QString>
#include <QThread>

#include <atomic>

class DelayProxy {
public:
    DelayProxy(const QString& socketPath, int delayMs);
    ~DelayProxy();
    DelayProxy(const DelayProxy&) = delete;
    DelayProxy& operator=(const DelayProxy&) = delete;

    quint16 port() const { return m_port; }
    int roundTrips() const { return m_roundTrips.load(); }
    void resetCount() { m_roundTrips.store(0); }

private:
    QThread m_thread;
    quint16 m_port = 0;
    std::atomic<int> m_roundTrips{0};
};
