#pragma once

#include "config/LoggerSettings.h"
#include "core/ProgramOptions.h"
#include "config/Rating.h"
#include "link/FrameCodec.h"
#include "link/LoggerCommands.h"
#include "link/LinkState.h"
#include "link/LoggerLink.h"
#include "link/LoggerStatus.h"
#include "link/ReplyTicker.h"

#include <QByteArray>
#include <utility>

inline QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

// The link and the command set over a port (a FakeSerialPort, or a SimSerialPort before the virtual logger), with
// a fast reply tick: a silent wait of ReplyTicks lasts milliseconds, not tenths of a second.
template <typename Port>
struct LinkRig {
    Port port;
    LinkState state;
    ProgramOptions options;
    LoggerStatus status;
    LoggerSettings settings;
    RatingState rating;
    LoggerLink link{port, state, options};
    LoggerCommands commands{link, status, settings, rating};
    ReplyTicker ticker{link, 2};

    template <typename... PortArguments>
    explicit LinkRig(PortArguments&&... arguments) : port(std::forward<PortArguments>(arguments)...)
    {
        state.ReplyTicks = 2;
        ticker.Start();
    }

    bool open() { return link.OpenPort(1, QStringLiteral("9600,N,8,1")); }
};
