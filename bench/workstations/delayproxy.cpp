#include "delayproxy.h"

#include <QLocalSocket>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

namespace {

// One client's connection and the server's, joined; each direction delayed on its own.
class Link : public QObject {
public:
    Link(QTcpSocket* client, const QString& socketPath, int delayMs, std::atomic<int>& trips,
         QObject* parent)
        : QObject(parent), m_client(client), m_server(new QLocalSocket(this)), m_delayMs(delayMs),
          m_trips(trips)
    {
        client->setParent(this);
        client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_server->connectToServer(socketPath);
        connect(client, &QTcpSocket::readyRead, this, [this] {
            const QByteArray bytes = m_client->readAll();
            if (m_serverSpokeLast)
                ++m_trips;
            m_serverSpokeLast = false;
            later([this, bytes] { m_server->write(bytes); });
        });
        connect(m_server, &QLocalSocket::readyRead, this, [this] {
            const QByteArray bytes = m_server->readAll();
            m_serverSpokeLast = true;
            later([this, bytes] { m_client->write(bytes); });
        });
        connect(client, &QTcpSocket::disconnected, this, &QObject::deleteLater);
        connect(m_server, &QLocalSocket::disconnected, this, &QObject::deleteLater);
    }

private:
    // timers of one interval fire in the order they were started: the bytes keep their order
    void later(std::function<void()> send)
    {
        if (m_delayMs == 0)
            send();
        else
            QTimer::singleShot(m_delayMs, Qt::PreciseTimer, this, std::move(send));
    }

    QTcpSocket* m_client;
    QLocalSocket* m_server;
    int m_delayMs;
    std::atomic<int>& m_trips;
    bool m_serverSpokeLast = true; // the first words of a connection start a round trip
};

} // namespace

DelayProxy::DelayProxy(const QString& socketPath, int delayMs)
{
    QSemaphore listening;
    auto* listener = new QTcpServer;
    listener->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, listener, &QObject::deleteLater);
    QObject::connect(&m_thread, &QThread::started, listener, [&, listener] {
        listener->listen(QHostAddress::LocalHost);
        m_port = listener->serverPort();
        QObject::connect(listener, &QTcpServer::newConnection, listener,
                         [this, listener, socketPath, delayMs] {
                             while (QTcpSocket* client = listener->nextPendingConnection())
                                 new Link(client, socketPath, delayMs, m_roundTrips, listener);
                         });
        listening.release();
    });
    m_thread.start();
    listening.acquire();
}

DelayProxy::~DelayProxy()
{
    m_thread.quit();
    m_thread.wait();
}
