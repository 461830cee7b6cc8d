#include "Communication/nodestatecontext.h"

#include "Tools/zyrassert.h"

namespace ZyrCore::Communication {

namespace {

const char* const kSource = "Communication/nodestatecontext";

void registerNodeStateContextTypes() {
    qRegisterMetaType<NodeStateContext>();
    qRegisterMetaType<NodeStateContext>("NodeStateContext");
    // No short alias for the pointer: a check slot must name the qualified type, and one that
    // does not is not found (a failed check) rather than matched through an alias.
    qRegisterMetaType<NodeStateContext*>();
}

} // namespace

QString NodeStateContext::nodeName() const {
    return itsNodeName;
}

void NodeStateContext::setNodeName(const QString& nodeName) {
    itsNodeName = nodeName;
}

ICommunicationNode* NodeStateContext::communicationNode() const {
    return itsCommunicationNode;
}

void NodeStateContext::setCommunicationNode(ICommunicationNode* node) {
    ZYR_ASSERT_NOT_NULL(kSource, node);
    itsCommunicationNode = node;
}

QMap<QString, QString>* NodeStateContext::properties() {
    return &itsProperties;
}

// Registered when the library loads, so queued connections and signal spies know the type before
// any manager exists.
Q_CONSTRUCTOR_FUNCTION(registerNodeStateContextTypes)

} // namespace ZyrCore::Communication
