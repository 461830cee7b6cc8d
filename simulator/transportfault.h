#ifndef ZYRSIM_TRANSPORTFAULT_H
#define ZYRSIM_TRANSPORTFAULT_H

namespace ZyrSim {

// Faults one simulated HID interface can show until switched back to None.
enum class TransportFault {
    None,
    NoReply,             // requests stay unanswered
    WrongProtocol,       // the reply frame names another protocol
    ReplyTooLong,        // one payload byte more than the host accepts
    StaleReports,        // a few reports with an old counter come before the reply
    ZeroCountReport,     // a report without payload comes before the reply
    EndlessWrongCounter, // no reply, only reports with a wrong counter, without end
    Unplugged,           // gone from the enumeration; transfers and product string fail
    AccessDenied,        // listed, but opening it is refused (EACCES), as without a udev rule
};

} // namespace ZyrSim

#endif // ZYRSIM_TRANSPORTFAULT_H
