#ifndef ZYRCORE_TRACING_ITRACESINK_H
#define ZYRCORE_TRACING_ITRACESINK_H

#include "zyrcore_global.h"

#include <QString>

namespace ZyrCore::Tracing {

// Receives one Telegram element of XML text per call; false when the sink did not take it.
class ZYRCORE_EXPORT ITraceSink {
public:
    virtual ~ITraceSink() = default;
    virtual bool trace(QString telegram) = 0;
};

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_ITRACESINK_H
