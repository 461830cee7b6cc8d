#include "Communication/iccomcore.h"

#include "Communication/iblockregistercomobject.h"
#include "Communication/icomexecutor.h"
#include "Communication/icomobject.h"
#include "Communication/icomobserver.h"
#include "Communication/iregisterinfo.h"
#include "Communication/iregistervalue.h"
#include "Tools/zyrassert.h"

#include <QMutexLocker>
#include <QVector>

#include <memory>

namespace ZyrCore::Communication {

namespace {
const char* const kSource = "Communication/iccomcore";

constexpr int kSuccess = 0;
constexpr int kReadFailed = -1;
constexpr int kWriteFailed = -2;
constexpr int kNotConfirmed = -3;

// Deletes whatever a description left queued on an early exit, so no path leaks com objects.
class ComSequence {
public:
    ComSequence() = default;
    ComSequence(const ComSequence&) = delete;
    ComSequence& operator=(const ComSequence&) = delete;
    ~ComSequence() { qDeleteAll(itsQueue); }

    QQueue<IComObject*>* queue() { return &itsQueue; }
    int count() const { return itsQueue.count(); }

private:
    QQueue<IComObject*> itsQueue;
};

// A description must take every com object it queued back off the queue.
void expectConsumed(int line, const char* expression, int remaining) {
    if (remaining != 0)
        ZyrCore::Tools::assertionFailed(kSource, line, expression,
                                        "Communication queue not empty.");
}

// One run of consecutive registers read as blocks.
struct BlockRun {
    int first = 0;
    int count = 0;
    int objectCount = 0;
};
} // namespace

IcComCore::IcComCore(IComExecutor* stream, IRegisterComObjectProvider* provider)
    : itsMutex(QMutex::NonRecursive)
    , itsProvider(provider)
    , itsStream(stream) {}

IcComCore::~IcComCore() = default;

int IcComCore::readRegister(IRegisterInfo* info, IRegisterValue* value, bool notify) {
    ZYR_ASSERT_NOT_NULL(kSource, info);
    ZYR_ASSERT_NOT_NULL(kSource, value);
    if (itsStream == nullptr || itsProvider == nullptr || info->isWriteOnly())
        return kReadFailed;

    ComSequence comSequence;
    int error = 0;
    {
        QMutexLocker locker(&itsMutex);
        info->processReadRegisterRequest(comSequence.queue(), value, itsProvider);
        execute(comSequence.queue());
        info->processReadRegisterResponse(comSequence.queue(), value);
        error = itsStream->lastError();
    }
    if (error != 0)
        return kReadFailed;
    expectConsumed(__LINE__, "comSequence.count() == 0", comSequence.count());

    if (notify)
        raiseValueChanged(info, value);
    return kSuccess;
}

int IcComCore::readRegisterList(QList<IRegisterInfo*>* infos, QList<IRegisterValue*>* values,
                                bool blockMode, bool notify) {
    ZYR_ASSERT_NOT_NULL(kSource, infos);
    ZYR_ASSERT_NOT_NULL(kSource, values);
    ZYR_ASSERT(kSource, infos->count() == values->count(),
               "Numbers of items in infos and values does not match.");

    if (infos->isEmpty())
        return kSuccess;
    if (itsStream == nullptr || itsProvider == nullptr)
        return kReadFailed;
    // A null entry would reach the stream as a null com object: refuse before sending anything.
    if (infos->contains(nullptr) || values->contains(nullptr))
        return kReadFailed;

    ComSequence comSequence;
    int error = 0;
    {
        QMutexLocker locker(&itsMutex);
        error = blockMode ? readBlocks(infos, values, comSequence.queue())
                          : readSingles(infos, values, comSequence.queue());
    }
    if (error != 0)
        return kReadFailed;
    expectConsumed(__LINE__, "comSequence.count() == 0", comSequence.count());

    if (notify) {
        for (int i = 0; i < infos->count(); ++i)
            raiseValueChanged(infos->at(i), values->at(i));
    }
    return kSuccess;
}

int IcComCore::writeRegister(IRegisterInfo* info, IRegisterValue* value) {
    ZYR_ASSERT_NOT_NULL(kSource, info);
    ZYR_ASSERT_NOT_NULL(kSource, value);
    if (itsStream == nullptr || itsProvider == nullptr)
        return kWriteFailed;

    ComSequence comSequence;
    std::unique_ptr<IRegisterValue> readBackValue;
    int result = kSuccess;
    {
        QMutexLocker locker(&itsMutex);
        info->processWriteRegisterRequest(comSequence.queue(), value, itsProvider);
        execute(comSequence.queue());
        info->processWriteRegisterResponse(comSequence.queue(), value);
        if (itsStream->lastError() != 0)
            return kWriteFailed;
        expectConsumed(__LINE__, "false", comSequence.count());

        // A write-only register cannot be read back.
        if (info->isWriteOnly())
            return kSuccess;

        readBackValue.reset(info->createValue());
        if (readBack(info, readBackValue.get(), comSequence.queue()) != 0)
            result = kNotConfirmed;
        if (readBackValue->value() != value->value())
            result = kNotConfirmed;
    }
    raiseValueChanged(info, readBackValue.get());
    return result;
}

int IcComCore::modifyRegister(IRegisterInfo* info, IRegisterValue* value, IRegisterValue* mask) {
    ZYR_ASSERT_NOT_NULL(kSource, info);
    ZYR_ASSERT_NOT_NULL(kSource, value);
    ZYR_ASSERT_NOT_NULL(kSource, mask);
    if (itsStream == nullptr || itsProvider == nullptr)
        return kWriteFailed;

    ComSequence comSequence;
    QQueue<IComObject*>* queue = comSequence.queue();
    std::unique_ptr<IRegisterValue> expectedValue;
    std::unique_ptr<IRegisterValue> readBackValue;
    int result = kSuccess;
    {
        QMutexLocker locker(&itsMutex);
        info->processModifyRegisterRequest(queue, value, mask, itsProvider);
        expectedValue.reset(info->createValue());

        const bool direct = !queue->isEmpty() && !queue->contains(nullptr);
        if (direct) {
            expectedValue->setValue(value->value());
            execute(queue);
            info->processModifyRegisterResponse(queue, value, mask);
            if (itsStream->lastError() != 0)
                result = kNotConfirmed;
            expectConsumed(__LINE__, "false", comSequence.count());
        } else {
            // No modify object on this bus: read, merge the masked bits and write.
            if (!queue->isEmpty())
                info->processModifyRegisterResponse(queue, value, mask);
            qDeleteAll(*queue);
            queue->clear();

            info->processReadRegisterRequest(queue, expectedValue.get(), itsProvider);
            execute(queue);
            info->processReadRegisterResponse(queue, expectedValue.get());
            if (itsStream->lastError() != 0)
                return kReadFailed;
            expectConsumed(__LINE__, "false", comSequence.count());

            expectedValue->modifyValue(value, mask);
            info->processWriteRegisterRequest(queue, expectedValue.get(), itsProvider);
            execute(queue);
            info->processWriteRegisterResponse(queue, expectedValue.get());
            if (itsStream->lastError() != 0)
                return kWriteFailed;
            expectConsumed(__LINE__, "false", comSequence.count());
        }

        readBackValue.reset(info->createValue());
        if (readBack(info, readBackValue.get(), queue) != 0)
            result = kNotConfirmed;
        if ((readBackValue->value() & mask->value()) != (expectedValue->value() & mask->value()))
            result = kNotConfirmed;
    }
    raiseValueChanged(info, readBackValue.get());
    return result;
}

void IcComCore::setRegisterSet(ZyrCore::Register::RegisterSet* registerSet) {
    itsRegisterSet = registerSet;
    const QList<IComObserver*> observers = *itsObserverCache.observers();
    for (IComObserver* observer : observers)
        observer->onRegisterSetChanged(registerSet);
}

ZyrCore::Register::RegisterSet* IcComCore::registerSet() {
    return itsRegisterSet;
}

void IcComCore::setStream(IComExecutor* stream) {
    itsStream = stream;
}

IComExecutor* IcComCore::stream() {
    return itsStream;
}

void IcComCore::registerObserver(IComObserver* observer) {
    itsObserverCache.append(observer);
}

void IcComCore::unregisterObserver(IComObserver* observer) {
    itsObserverCache.remove(observer);
}

bool IcComCore::open() {
    itsIsOpen = itsStream != nullptr && itsStream->isOpen();
    return itsIsOpen;
}

bool IcComCore::isOpen() {
    return itsIsOpen;
}

bool IcComCore::close() {
    itsIsOpen = false;
    return false;
}

bool IcComCore::setNextNode(ICommunicationNode* node) {
    auto* executor = dynamic_cast<IComExecutor*>(node);
    if (executor == nullptr)
        return false;
    setStream(executor);
    return true;
}

void IcComCore::setComObjectProvider(IRegisterComObjectProvider* provider) {
    itsProvider = provider;
}

IRegisterComObjectProvider* IcComCore::comObjectProvider() {
    return itsProvider;
}

void IcComCore::raiseValueChanged(IRegisterInfo* info, IRegisterValue* value) {
    const QList<IComObserver*>* found = itsObserverCache.findObservers(info);
    if (found == nullptr)
        return;
    // Observers may register or unregister while they are told.
    const QList<IComObserver*> observers = *found;
    for (IComObserver* observer : observers)
        observer->onValueChanged(info, value);
}

void IcComCore::execute(QQueue<IComObject*>* comSequence) {
    itsStream->execute(comSequence);
}

int IcComCore::readBack(IRegisterInfo* info, IRegisterValue* readBackValue,
                        QQueue<IComObject*>* comSequence) {
    info->processReadRegisterRequest(comSequence, readBackValue, itsProvider);
    for (IComObject* comObject : *comSequence) {
        if (comObject != nullptr)
            comObject->setTracePattern(comObject->tracePattern() | readBackTraceBit);
    }
    execute(comSequence);
    info->processReadRegisterResponse(comSequence, readBackValue);
    const int error = itsStream->lastError();
    expectConsumed(__LINE__, "false", comSequence->count());
    return error;
}

int IcComCore::readSingles(QList<IRegisterInfo*>* infos, QList<IRegisterValue*>* values,
                           QQueue<IComObject*>* comSequence) {
    for (int i = 0; i < infos->count(); ++i)
        infos->at(i)->processReadRegisterRequest(comSequence, values->at(i), itsProvider);
    execute(comSequence);
    for (int i = 0; i < infos->count(); ++i)
        infos->at(i)->processReadRegisterResponse(comSequence, values->at(i));
    return itsStream->lastError();
}

int IcComCore::readBlocks(QList<IRegisterInfo*>* infos, QList<IRegisterValue*>* values,
                          QQueue<IComObject*>* comSequence) {
    QVector<BlockRun> runs;
    for (int i = 0; i < infos->count(); ++i) {
        if (i == 0 || !infos->at(i)->isDirectSuccessorOf(infos->at(i - 1)))
            runs.append(BlockRun{i, 0, 0});
        ++runs.last().count;
    }

    // The bytes each block object asked for, to tell a short reply from a complete one.
    QVector<unsigned int> requestedSizes;
    for (BlockRun& run : runs) {
        QList<IRegisterValue*> runValues = values->mid(run.first, run.count);
        const int before = comSequence->count();
        infos->at(run.first)->processBlockReadRegisterRequest(comSequence, &runValues, itsProvider);
        run.objectCount = comSequence->count() - before;
    }
    for (IComObject* comObject : *comSequence) {
        auto* block = dynamic_cast<IBlockRegisterComObject*>(comObject);
        requestedSizes.append(block != nullptr ? block->dataSize() : 0);
    }

    execute(comSequence);

    bool blockShort = false;
    for (int i = 0; i < comSequence->count(); ++i) {
        auto* block = dynamic_cast<IBlockRegisterComObject*>(comSequence->at(i));
        if (block != nullptr && block->dataSize() != requestedSizes.at(i))
            blockShort = true;
    }

    for (const BlockRun& run : runs) {
        QQueue<IComObject*> tmpSequence;
        for (int n = 0; n < run.objectCount && !comSequence->isEmpty(); ++n)
            tmpSequence.enqueue(comSequence->dequeue());
        QList<IRegisterValue*> runValues = values->mid(run.first, run.count);
        infos->at(run.first)->processBlockReadRegisterResponse(&tmpSequence, &runValues);
        const int remaining = tmpSequence.count();
        qDeleteAll(tmpSequence);
        expectConsumed(__LINE__, "tmpSequence.count() == 0", remaining);
    }

    const int error = itsStream->lastError();
    if (error == 0 && blockShort)
        return kReadFailed;
    return error;
}

} // namespace ZyrCore::Communication
