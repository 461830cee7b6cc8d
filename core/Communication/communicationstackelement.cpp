#include "Communication/communicationstackelement.h"

namespace ZyrCore::Communication {

CommunicationStackElement::CommunicationStackElement(const QString& name, ICommunicationNode* node,
                                                     CommunicationStackElement* next)
    : itsName(name)
    , itsNext(next)
    , itsNode(node)
    , itsStateManager(node) {
    itsStateManager.context()->setNodeName(name);
}

// The manager's destructor stops its timer; the node is left as it is.
CommunicationStackElement::~CommunicationStackElement() = default;

CommunicationStackElement* CommunicationStackElement::next() {
    return itsNext;
}

QString CommunicationStackElement::name() {
    return itsName;
}

ICommunicationNode* CommunicationStackElement::node() {
    return itsNode;
}

NodeStateManager* CommunicationStackElement::stateManager() {
    return &itsStateManager;
}

} // namespace ZyrCore::Communication
