#ifndef ZYRTESTS_FAKECOMMUNICATIONNODE_H
#define ZYRTESTS_FAKECOMMUNICATIONNODE_H

#include "Communication/icommunicationnode.h"

#include <QString>
#include <QStringList>

// A communication node whose open, close and stacking results are scripted and whose calls are
// counted. An optional log records "<name> deleted" when the node is destroyed.
class FakeCommunicationNode : public virtual ZyrCore::Communication::ICommunicationNode {
public:
    explicit FakeCommunicationNode(const QString& name = QString(), QStringList* log = nullptr)
        : itsName(name)
        , itsLog(log) {}
    ~FakeCommunicationNode() override {
        if (itsLog != nullptr)
            itsLog->append(itsName + " deleted");
    }

    bool open() override {
        ++itsOpenCalls;
        if (itsOpenResult && itsOpenTakesEffect)
            itsOpen = true;
        return itsOpenResult;
    }
    bool isOpen() override { return itsOpen; }
    bool close() override {
        ++itsCloseCalls;
        itsOpen = false;
        return true;
    }
    bool setNextNode(ZyrCore::Communication::ICommunicationNode* node) override {
        ++itsSetNextNodeCalls;
        if (itsSetNextNodeResult)
            itsNextNode = node;
        return itsSetNextNodeResult;
    }

    // Scripting.
    void setOpenResult(bool result) { itsOpenResult = result; }
    // open() reports success but the node stays closed.
    void setOpenTakesEffect(bool takesEffect) { itsOpenTakesEffect = takesEffect; }
    void setSetNextNodeResult(bool result) { itsSetNextNodeResult = result; }
    // The device went away behind the node's back.
    void drop() { itsOpen = false; }

    int openCalls() const { return itsOpenCalls; }
    int closeCalls() const { return itsCloseCalls; }
    int setNextNodeCalls() const { return itsSetNextNodeCalls; }
    ZyrCore::Communication::ICommunicationNode* nextNode() const { return itsNextNode; }
    QString name() const { return itsName; }

private:
    QString itsName;
    QStringList* itsLog;
    bool itsOpen = false;
    bool itsOpenResult = true;
    bool itsOpenTakesEffect = true;
    bool itsSetNextNodeResult = true;
    int itsOpenCalls = 0;
    int itsCloseCalls = 0;
    int itsSetNextNodeCalls = 0;
    ZyrCore::Communication::ICommunicationNode* itsNextNode = nullptr;
};

#endif // ZYRTESTS_FAKECOMMUNICATIONNODE_H
