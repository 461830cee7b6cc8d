#include "calibration.h"

#include "Communication/comstream.h"
#include "commands/getcalibrationdatacommand.h"
#include "exchange.h"
#include "hid/hidcomdriver.h"

#include <QCursor>
#include <QGuiApplication>

namespace {

// The wait cursor and the long time-outs for as long as it lives.
class LongCommandScope {
public:
    explicit LongCommandScope(ZyrHid::HidComDriver* driver)
        : itsDriver(driver)
        , itsReadTimeout(driver->readTimeout())
        , itsWriteTimeout(driver->writeTimeout()) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        itsDriver->setReadTimeout(calibrationTimeoutMs);
        itsDriver->setWriteTimeout(calibrationTimeoutMs);
    }
    LongCommandScope(const LongCommandScope&) = delete;
    LongCommandScope& operator=(const LongCommandScope&) = delete;
    ~LongCommandScope() {
        itsDriver->setReadTimeout(itsReadTimeout);
        itsDriver->setWriteTimeout(itsWriteTimeout);
        QGuiApplication::restoreOverrideCursor();
    }

private:
    ZyrHid::HidComDriver* itsDriver;
    quint32 itsReadTimeout;
    quint32 itsWriteTimeout;
};

} // namespace

bool executeCalibration(ZyrCore::Communication::ComStream* stream,
                        GetCalibrationDataCommand& command) {
    if (stream == nullptr || !stream->isOpen())
        return false;
    auto* driver = dynamic_cast<ZyrHid::HidComDriver*>(stream->comDriver());
    if (driver == nullptr)
        return false;
    if (command.mode() == GetCalibrationDataCommand::ReadCalibration)
        return executeExchange(stream, &command);
    const LongCommandScope longCommand(driver);
    return executeExchange(stream, &command);
}
