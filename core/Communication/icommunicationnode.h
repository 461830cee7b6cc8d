#ifndef ZYRCORE_COMMUNICATION_ICOMMUNICATIONNODE_H
#define ZYRCORE_COMMUNICATION_ICOMMUNICATIONNODE_H

#include "zyrcore_global.h"

namespace ZyrCore::Communication {

// A node of the communication stack: drivers, streams and the register node.
class ZYRCORE_EXPORT ICommunicationNode {
public:
    virtual ~ICommunicationNode() = default;

    virtual bool open() = 0;
    virtual bool isOpen() = 0;
    virtual bool close() = 0;
    virtual bool setNextNode(ICommunicationNode* node) = 0;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_ICOMMUNICATIONNODE_H
