#ifndef ZYRCORE_COMMUNICATION_COMMUNICATIONSTACKELEMENT_H
#define ZYRCORE_COMMUNICATION_COMMUNICATIONSTACKELEMENT_H

#include "Communication/nodestatemanager.h"

#include <QString>

namespace ZyrCore::Communication {

class ICommunicationNode;

// One named node of a communication stack with the manager supervising it. The element owns the
// manager but not the node: destroying it neither closes nor deletes the node.
class ZYRCORE_EXPORT CommunicationStackElement {
public:
    // next is the element the node sends through, null for the root. Asserts on a null node.
    CommunicationStackElement(const QString& name, ICommunicationNode* node,
                              CommunicationStackElement* next);
    CommunicationStackElement(const CommunicationStackElement&) = delete;
    CommunicationStackElement& operator=(const CommunicationStackElement&) = delete;
    virtual ~CommunicationStackElement();

    virtual CommunicationStackElement* next();
    virtual QString name();
    virtual ICommunicationNode* node();
    virtual NodeStateManager* stateManager();

private:
    QString itsName;
    CommunicationStackElement* itsNext;
    ICommunicationNode* itsNode;
    NodeStateManager itsStateManager;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_COMMUNICATIONSTACKELEMENT_H
