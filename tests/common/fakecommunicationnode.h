#ifndef ZYRTESTS_FAKECOMMUNICATIONNODE_H
#define ZYRTESTS_FAKECOMMUNICATIONNODE_H

#include "Communication/icommunicationnode.h"

#include <QString>
#include <QStringList>

// A communication node whose open result is scripted and whose calls are
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
    bool setNextNode(ZyrCore::Communication::ICommunicationNode*) override { return true; }

    // Scripting.
    void setOpenResult(bool result) { itsOpenResult = result; }
    // open() reports success but the node stays closed.
    void setOpenTakesEffect(bool takesEffect) { itsOpenTakesEffect = takesEffect; }
    // The device went away behind the node's back.
    void drop() { itsOpen = false; }

    int openCalls() const { return itsOpenCalls; }
    int closeCalls() const { return itsCloseCalls; }

private:
    QString itsName;
    QStringList* itsLog;
    bool itsOpen = false;
    bool itsOpenResult = true;
    bool itsOpenTakesEffect = true;
    int itsOpenCalls = 0;
    int itsCloseCalls = 0;
};

#endif // ZYRTESTS_FAKECOMMUNICATIONNODE_H
