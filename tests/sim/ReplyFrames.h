#pragma once

#include <QByteArray>

// The payload of a reply made of the acknowledgement 0xFA and one intact
// frame; an empty array for any other reply.
QByteArray AckedFramePayload(const QByteArray& reply);
