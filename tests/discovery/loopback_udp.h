// Whether a datagram sent to 127.0.0.1 arrives here at all; where it does not,
// nothing on the wire can be tried.
#pragma once

#include "pump.h"

#include <QUdpSocket>

inline bool loopbackUdpWorks()
{
    QUdpSocket receiver;
    if (!receiver.bind(QHostAddress::LocalHost, 0))
        return false;
    QUdpSocket sender;
    sender.writeDatagram("probe", QHostAddress::LocalHost, receiver.localPort());
    return testsupport::pumpUntil([&] { return receiver.hasPendingDatagrams(); }, 3000);
}
