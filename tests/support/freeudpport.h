#pragma once

#include <QFile>
#include <QHostAddress>
#include <QRandomGenerator>
#include <QUdpSocket>

namespace tarv::testing {

// A UDP port that nothing on this machine listens on right now, for a
// listener started a moment later. It lies below the range the kernel hands
// out to sockets bound to port 0, so no sender started meanwhile (by this
// test, a test beside it or the program) can take it before the listener
// binds it.
inline quint16 FreeUdpPort()
{
    quint16 ephemeralFirst = 32768;
    QFile range(QStringLiteral("/proc/sys/net/ipv4/ip_local_port_range"));
    if (range.open(QIODevice::ReadOnly)) {
        bool ok = false;
        const quint16 first = range.readAll().simplified().split(' ').value(0).toUShort(&ok);
        if (ok && first > 12000)
            ephemeralFirst = first;
    }
    constexpr quint16 kLowest = 10000;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto port = static_cast<quint16>(
            QRandomGenerator::global()->bounded(int{kLowest}, int{ephemeralFirst}));
        QUdpSocket probe;
        if (probe.bind(QHostAddress::LocalHost, port))
            return port;
    }
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

} // namespace tarv::testing
