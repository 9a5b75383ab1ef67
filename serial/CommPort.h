#pragma once

#include "CommPort/CustomCommPort.h"

namespace kirvan {

// The serial port with its properties published, as the main window holds it (CommPort1).
class TCommPort final : public TCustomCommPort {
public:
    using TCustomCommPort::TCustomCommPort;

    using TCustomCommPort::ComNumber;
    using TCustomCommPort::setComNumber;
    using TCustomCommPort::BaudRate;
    using TCustomCommPort::setBaudRate;
    using TCustomCommPort::Parity;
    using TCustomCommPort::setParity;
    using TCustomCommPort::Stopbits;
    using TCustomCommPort::setStopbits;
    using TCustomCommPort::Databits;
    using TCustomCommPort::setDatabits;
    using TCustomCommPort::InSize;
    using TCustomCommPort::setInSize;
    using TCustomCommPort::OutSize;
    using TCustomCommPort::setOutSize;
    using TCustomCommPort::Open;
    using TCustomCommPort::setOpen;
    using TCustomCommPort::OpenError;
    using TCustomCommPort::DTR;
    using TCustomCommPort::setDTR;
    using TCustomCommPort::RTS;
    using TCustomCommPort::setRTS;
    using TCustomCommPort::Baud;
    using TCustomCommPort::setBaud;
    using TCustomCommPort::MonitorEvents;
    using TCustomCommPort::setMonitorEvents;
    using TCustomCommPort::CTS;
    using TCustomCommPort::DSR;
    using TCustomCommPort::RLSD;
    using TCustomCommPort::Ring;

    using TCustomCommPort::setOnOpen;
    using TCustomCommPort::setOnBreakSignal;
    using TCustomCommPort::setOnCTSSignal;
    using TCustomCommPort::setOnDSRSignal;
    using TCustomCommPort::setOnErrorSignal;
    using TCustomCommPort::setOnRingSignal;
    using TCustomCommPort::setOnRLSDSignal;
    using TCustomCommPort::setOnTriggerAvail;
    using TCustomCommPort::setOnTxEmptySignal;
    using TCustomCommPort::setOnDTRSignal;
    using TCustomCommPort::setOnRxDSignal;
    using TCustomCommPort::setOnTxDSignal;
    using TCustomCommPort::setOnLineLost;
};

} // namespace kirvan
