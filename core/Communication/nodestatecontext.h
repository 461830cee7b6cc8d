#ifndef ZYRCORE_COMMUNICATION_NODESTATECONTEXT_H
#define ZYRCORE_COMMUNICATION_NODESTATECONTEXT_H

#include "zyrcore_global.h"

#include <QMap>
#include <QMetaType>
#include <QString>

namespace ZyrCore::Communication {

class ICommunicationNode;

// What a check slot and a stateChanged receiver learn about a supervised node: its name in the
// stack, the node itself (not owned) and free properties for the slots' own use.
class ZYRCORE_EXPORT NodeStateContext {
public:
    NodeStateContext() = default;
    NodeStateContext(const NodeStateContext&) = default;
    NodeStateContext& operator=(const NodeStateContext&) = default;
    virtual ~NodeStateContext() = default;

    QString nodeName() const;
    void setNodeName(const QString& nodeName);
    ICommunicationNode* communicationNode() const;
    // Asserts on a null node.
    void setCommunicationNode(ICommunicationNode* node);
    QMap<QString, QString>* properties();

private:
    QString itsNodeName;
    ICommunicationNode* itsCommunicationNode = nullptr;
    QMap<QString, QString> itsProperties;
};

} // namespace ZyrCore::Communication

// The context travels by value in stateChanged and by pointer to the check slots. The library
// registers both under their qualified names, and the value also as "NodeStateContext", the type
// text that the manager's signal carries.
Q_DECLARE_METATYPE(ZyrCore::Communication::NodeStateContext)
Q_DECLARE_METATYPE(ZyrCore::Communication::NodeStateContext*)

#endif // ZYRCORE_COMMUNICATION_NODESTATECONTEXT_H
