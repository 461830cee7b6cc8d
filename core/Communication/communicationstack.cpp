#include "Communication/communicationstack.h"

#include "Communication/communicationstackelement.h"
#include "Communication/icomdriver.h"
#include "Communication/icomexecutor.h"
#include "Communication/icommunicationnode.h"
#include "Communication/nodestatemanager.h"
#include "Tools/zyrassert.h"

namespace ZyrCore::Communication {

namespace {

const char* const kSource = "Communication/communicationstack";

template <typename Interface>
Interface* firstNodeAs(const QMap<QString, CommunicationStackElement*>& elements) {
    for (CommunicationStackElement* element : elements) {
        if (auto* found = dynamic_cast<Interface*>(element->node()))
            return found;
    }
    return nullptr;
}

} // namespace

CommunicationStack::CommunicationStack(QObject* parent)
    : QObject(parent) {}

// Only the containers go; the owner empties the stack with clearElements() beforehand.
CommunicationStack::~CommunicationStack() = default;

bool CommunicationStack::insertNode(const QString& nodeName, ICommunicationNode* node,
                                    const QString& nextNodeName) {
    CommunicationStackElement* nextElement = nullptr;
    if (!nextNodeName.isEmpty() && !tryGetElementByName(nextNodeName, &nextElement))
        return false;
    return insertNodeInternal(nodeName, node, nextElement);
}

bool CommunicationStack::insertNode(const QString& nodeName, ICommunicationNode* node,
                                    ICommunicationNode* nextNode) {
    CommunicationStackElement* nextElement = nullptr;
    if (nextNode != nullptr && !tryGetElementByNode(nextNode, &nextElement))
        return false;
    return insertNodeInternal(nodeName, node, nextElement);
}

bool CommunicationStack::insertNodeInternal(const QString& nodeName, ICommunicationNode* node,
                                            CommunicationStackElement* nextElement) {
    ZYR_ASSERT(kSource, !nodeName.isNull(), "Node name not set.");
    ZYR_ASSERT(kSource, !nodeName.isEmpty(), "Node name is empty.");
    ZYR_ASSERT_NOT_NULL(kSource, node);
    ZYR_ASSERT(kSource, !itsStackElements.contains(nodeName),
               "CommunicationStack already contains a node with the same name.");
    // One node under two names would be closed and deleted twice.
    CommunicationStackElement* elementOfNode = nullptr;
    const bool nodeAlreadyInserted = tryGetElementByNode(node, &elementOfNode);
    ZYR_ASSERT(kSource, !nodeAlreadyInserted,
               "CommunicationStack already contains the node under another name.");
    ZYR_ASSERT(kSource,
               (nextElement == NULL && itsRootStackElement == NULL) ||
                   (nextElement != NULL && itsRootStackElement != NULL),
               "CommunicationStack already contains a root element or no next element is given.");

    if (nextElement != nullptr && !node->setNextNode(nextElement->node()))
        return false;

    auto* element = new CommunicationStackElement(nodeName, node, nextElement);
    itsStackElements.insert(nodeName, element);
    if (nextElement == nullptr)
        itsRootStackElement = element;
    else
        itsTopStackElements.removeOne(nextElement);
    itsTopStackElements.append(element);
    return true;
}

CommunicationStackElement* CommunicationStack::findElement(const QString& nodeName) const {
    return itsStackElements.value(nodeName, nullptr);
}

bool CommunicationStack::tryGetElementByName(const QString& nodeName,
                                             CommunicationStackElement** element) const {
    CommunicationStackElement* found = findElement(nodeName);
    *element = found;
    return found != nullptr;
}

bool CommunicationStack::tryGetElementByNode(ICommunicationNode* node,
                                             CommunicationStackElement** element) const {
    for (CommunicationStackElement* candidate : itsStackElements) {
        if (candidate->node() == node) {
            *element = candidate;
            return true;
        }
    }
    return false;
}

bool CommunicationStack::tryGetStateManager(const QString& nodeName,
                                            NodeStateManager** stateManager) const {
    CommunicationStackElement* element = findElement(nodeName);
    if (element == nullptr)
        return false;
    *stateManager = element->stateManager();
    return true;
}

bool CommunicationStack::tryGetStateManager(ICommunicationNode* node,
                                            NodeStateManager** stateManager) const {
    CommunicationStackElement* element = nullptr;
    if (!tryGetElementByNode(node, &element))
        return false;
    *stateManager = element->stateManager();
    return true;
}

IComExecutor* CommunicationStack::comExecutor() {
    return firstNodeAs<IComExecutor>(itsStackElements);
}

IComDriver* CommunicationStack::comDriver() {
    return firstNodeAs<IComDriver>(itsStackElements);
}

bool CommunicationStack::removeElement(CommunicationStackElement* element, bool deleteNode) {
    if (element == nullptr || !itsTopStackElements.contains(element))
        return false;

    itsStackElements.remove(element->name());
    itsTopStackElements.removeOne(element);
    if (element == itsRootStackElement) {
        itsRootStackElement = nullptr;
    } else {
        CommunicationStackElement* next = element->next();
        if (!itsTopStackElements.contains(next) && !isNextOfAny(next))
            itsTopStackElements.append(next);
    }

    // Closes the node at once; receivers may hear of it while the element is already gone from
    // the stack.
    element->stateManager()->setActive(false);
    if (deleteNode)
        delete element->node();
    delete element;
    return true;
}

bool CommunicationStack::clearElements(bool deleteNode) {
    bool allRemoved = true;
    while (!itsTopStackElements.isEmpty()) {
        if (!removeElement(itsTopStackElements.first(), deleteNode))
            allRemoved = false;
    }
    return allRemoved;
}

const QMap<QString, CommunicationStackElement*>& CommunicationStack::stackElements() const {
    return itsStackElements;
}

const QList<CommunicationStackElement*>& CommunicationStack::topStackElements() const {
    return itsTopStackElements;
}

CommunicationStackElement* CommunicationStack::rootStackElement() const {
    return itsRootStackElement;
}

bool CommunicationStack::isNextOfAny(const CommunicationStackElement* element) const {
    for (CommunicationStackElement* candidate : itsStackElements) {
        if (candidate->next() == element)
            return true;
    }
    return false;
}

} // namespace ZyrCore::Communication
