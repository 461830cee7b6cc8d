#ifndef ZYRCORE_COMMUNICATION_COMMUNICATIONSTACK_H
#define ZYRCORE_COMMUNICATION_COMMUNICATIONSTACK_H

#include "zyrcore_global.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

namespace ZyrCore::Communication {

class CommunicationStackElement;
class ICommunicationNode;
class IComDriver;
class IComExecutor;
class NodeStateManager;

// The communication nodes of one device connection, under unique names and in a tree: every node
// but the root is stacked on its next node, the one it sends through. Filled root first; emptied
// from the top down with clearElements() by the owner before destruction, since the destructor
// releases only the containers and leaves the elements and nodes alone.
//
// Names compare exactly. Contract violations (null or empty name, null node, a name or node
// inserted twice, a second root, a non-root without a next node) abort through the assertion.
class ZYRCORE_EXPORT CommunicationStack : public QObject {
    Q_OBJECT

public:
    explicit CommunicationStack(QObject* parent = nullptr);
    ~CommunicationStack() override;

    // An empty nextNodeName makes the node the root. False, with the stack unchanged, when no
    // element has that name or the node refuses its next node.
    bool insertNode(const QString& nodeName, ICommunicationNode* node, const QString& nextNodeName);
    // A null nextNode makes the node the root.
    bool insertNode(const QString& nodeName, ICommunicationNode* node,
                    ICommunicationNode* nextNode);

    CommunicationStackElement* findElement(const QString& nodeName) const;
    // Writes the element, or null when none has that name.
    bool tryGetElementByName(const QString& nodeName, CommunicationStackElement** element) const;
    // The first element in name order holding node; writes nothing when there is none.
    bool tryGetElementByNode(ICommunicationNode* node, CommunicationStackElement** element) const;
    // Write nothing when there is no such element.
    bool tryGetStateManager(const QString& nodeName, NodeStateManager** stateManager) const;
    bool tryGetStateManager(ICommunicationNode* node, NodeStateManager** stateManager) const;

    // The first node in name order that is an executor, or a driver; null when none is.
    virtual IComExecutor* comExecutor();
    virtual IComDriver* comDriver();

    // Removes a top element: deactivates its manager (which closes the node and may report the
    // change), deletes the node on request and deletes the element. False, with the stack
    // unchanged, for an element that is not a top element.
    bool removeElement(CommunicationStackElement* element, bool deleteNode);
    // Removes every element from the top down to the root; true when every removal succeeded.
    bool clearElements(bool deleteNode);

    // Every element by name, in name order.
    const QMap<QString, CommunicationStackElement*>& stackElements() const;
    // The elements no other element stacks on, in the order they became top elements.
    const QList<CommunicationStackElement*>& topStackElements() const;
    CommunicationStackElement* rootStackElement() const;

protected:
    bool insertNodeInternal(const QString& nodeName, ICommunicationNode* node,
                            CommunicationStackElement* nextElement);

    QMap<QString, CommunicationStackElement*> itsStackElements;
    CommunicationStackElement* itsRootStackElement = nullptr;
    QList<CommunicationStackElement*> itsTopStackElements;
    // Set by subclasses; this class does not read it.
    QString itsName;

private:
    bool isNextOfAny(const CommunicationStackElement* element) const;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_COMMUNICATIONSTACK_H
