#include "Communication/I2c/telegrambytefield.h"

#include "Tools/xmlmapper.h"

#include <algorithm>

namespace ZyrCore::Communication::I2c {

TelegramByteField::TelegramByteField(Tools::XmlMapper& mapper, const QString& name,
                                     unsigned int bufferSize)
    : itsLimit(std::min(bufferSize, ComStream::maxPayloadSize)) {
    mapper.addEntry({name, &itsBuffer, itsLimit, 16, true});
    itsEntry = mapper.findEntry(name);
}

bool TelegramByteField::wasFound() const {
    return itsEntry != nullptr && itsEntry->wasFound();
}

unsigned int TelegramByteField::size() const {
    return wasFound() ? itsEntry->bytesActuallyRead() : 0;
}

} // namespace ZyrCore::Communication::I2c
