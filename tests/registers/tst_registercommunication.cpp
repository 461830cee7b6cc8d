#include "framefakedriver.h"
#include "simulatedregisterfile.h"
#include "testregistry.h"

#include "Communication/Control/firmwarenumbercomobject.h"
#include "Communication/Control/resetfwcomobject.h"
#include "Communication/I2c/i2ccomobjectprovider.h"
#include "Communication/I2c/i2cconfigcomobject.h"
#include "Communication/I2c/i2ctxrxcomobject.h"
#include "Communication/comobservercache.h"
#include "Communication/comstream.h"
#include "Communication/iblockregistercomobject.h"
#include "Communication/iccomcore.h"
#include "Communication/icomobserver.h"
#include "Communication/iserializable.h"
#include "Communication/registerinfostd.h"
#include "Communication/registervalue.h"

#include <QtTest>

#include <memory>

using namespace ZyrCore::Communication;
using namespace ZyrCore::Communication::I2c;
using ZyrSim::SimulatedRegisterFile;

namespace {

constexpr unsigned char kSlave = 0x40;

// What one execute call handed to the stream.
struct ExecutedObject {
    unsigned char protocol = 0;
    unsigned int tracePattern = 0;
    bool block = false;
};

// Passes everything to the real stream and notes each executed sequence.
class RecordingExecutor : public IComExecutor, public ICommunicationNode {
public:
    explicit RecordingExecutor(ComStream* stream)
        : itsStream(stream) {}
    bool open() override { return itsStream->open(); }
    bool close() override { return itsStream->close(); }
    bool isOpen() override { return itsStream->isOpen(); }
    int lastError() override { return itsStream->lastError(); }
    bool execute(IComObject* comObject) override { return itsStream->execute(comObject); }
    void execute(QQueue<IComObject*>* queue) override {
        QList<ExecutedObject> objects;
        for (IComObject* comObject : *queue) {
            ExecutedObject executed;
            if (auto* serializable = dynamic_cast<ISerializable*>(comObject))
                executed.protocol = serializable->protocol();
            executed.tracePattern = comObject->tracePattern();
            executed.block = dynamic_cast<IBlockRegisterComObject*>(comObject) != nullptr;
            objects.append(executed);
        }
        executions.append(objects);
        itsStream->execute(queue);
    }
    bool setNextNode(ICommunicationNode*) override { return false; }

    QList<QList<ExecutedObject>> executions;

private:
    ComStream* itsStream;
};

class ProviderWithoutModify : public I2cComObjectProvider {
public:
    IModifyRegisterComObject* createModifyRegisterObject() override { return nullptr; }
};

class RecordingObserver : public IComObserver {
public:
    RecordingObserver(QString name, QList<IRegisterInfo*> registers)
        : itsName(std::move(name))
        , itsRegisters(std::move(registers))
        , itsSelected(!itsRegisters.isEmpty()) {}
    bool observesSelectedRegisters() override { return itsSelected; }
    QList<IRegisterInfo*> observedRegisters() override { return itsRegisters; }
    void onValueChanged(IRegisterInfo* info, IRegisterValue* value) override {
        changes.append(qMakePair(info->id(), value->value()));
    }
    void onRegisterSetChanged(ZyrCore::Register::RegisterSet* registerSet) override {
        registerSets.append(registerSet);
    }
    QString name() override { return itsName; }

    QList<QPair<QString, unsigned int>> changes;
    QList<ZyrCore::Register::RegisterSet*> registerSets;

private:
    QString itsName;
    QList<IRegisterInfo*> itsRegisters;
    bool itsSelected;
};

// The simulated board's register file behind the real stream.
struct Bench {
    explicit Bench(I2cComObjectProvider* customProvider = nullptr)
        : driver(&firmware)
        , stream(&driver, ComStream::theLateFlushPolicy)
        , executor(&stream)
        , provider(customProvider != nullptr ? customProvider : &defaultProvider)
        , core(&executor, provider) {
        registers.install(firmware);
        provider->setConfiguration(kSlave);
        stream.open();
        core.open();
    }

    ZyrSim::FirmwareTable firmware;
    SimulatedRegisterFile registers;
    FrameFakeDriver driver;
    ComStream stream;
    RecordingExecutor executor;
    I2cComObjectProvider defaultProvider;
    I2cComObjectProvider* provider;
    IcComCore core;
};

struct OwnedValues {
    explicit OwnedValues(int count) {
        for (int i = 0; i < count; ++i)
            list.append(new RegisterValue(0xFFFF, 9));
    }
    ~OwnedValues() { qDeleteAll(list); }
    QList<IRegisterValue*> list;
};

} // namespace

class TestRegisterCommunication : public QObject {
    Q_OBJECT

private slots:
    void readIdentification();
    void readFaults_data();
    void readFaults();
    void readWriteOnlySendsNothing();
    void withoutStreamOrProvider();
    void writeReadsBack();
    void writeNotKeptGivesMinusThree();
    void writeTransferFails();
    void modifyDirect();
    void modifyDirectFailures();
    void modifyFallback();
    void modifyFallbackFailures_data();
    void modifyFallbackFailures();
    void listSingles();
    void blockListTwoRuns();
    void blockListShortReply();
    void blockListLargerThanPayload();
    void listWithNullEntry();
    void observersSelectedAndAny();
    void observerRemoval();
    void cacheOutlivesDescriptions();
    void observerMayCallBack();
};

void TestRegisterCommunication::readIdentification() {
    Bench bench;
    RegisterInfoStd info(SimulatedRegisterFile::identificationRegister, 8, 8, 0xFF);
    RegisterValue value(0, 7);
    QCOMPARE(bench.core.readRegister(&info, &value, false), 0);
    QCOMPARE(value.value(), 0x8Eu);
    QCOMPARE(value.state(), '\0');

    QCOMPARE(bench.driver.requests().count(), 1);
    const ZyrSim::FirmwareRequest& request = bench.driver.requests().first();
    QCOMPARE(request.protocol, static_cast<unsigned char>(97));
    QVERIFY(!request.fireAndForget);
    QCOMPARE(request.replySize, 1u);
    QCOMPARE(request.payload, QByteArray::fromHex("809081"));
}

void TestRegisterCommunication::readFaults_data() {
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("result");
    QTest::addColumn<char>("state");
    QTest::newRow("short reply") << int(SimulatedRegisterFile::Fault::ShortReply) << -1 << '\1';
    QTest::newRow("error status") << int(SimulatedRegisterFile::Fault::ErrorStatus) << 0
                                  << char(SimulatedRegisterFile::faultStatus);
}

void TestRegisterCommunication::readFaults() {
    QFETCH(int, fault);
    QFETCH(int, result);
    QFETCH(char, state);
    Bench bench;
    bench.registers.setRegisterValue(0x30, 0x42);
    bench.registers.setFault(0x30, static_cast<SimulatedRegisterFile::Fault>(fault));
    RegisterInfoStd info(0x30, 8, 8, 0xFF);
    RegisterValue value;
    RecordingObserver observer("any", {});
    bench.core.registerObserver(&observer);

    QCOMPARE(bench.core.readRegister(&info, &value, true), result);
    QCOMPARE(value.state(), state);
    QCOMPARE(observer.changes.count(), result == 0 ? 1 : 0);
    if (result == 0)
        QCOMPARE(value.value(), 0x42u);
}

void TestRegisterCommunication::readWriteOnlySendsNothing() {
    Bench bench;
    RegisterInfoStd writeOnly(0x12, 8, 8, 0);
    RegisterValue value;
    QCOMPARE(bench.core.readRegister(&writeOnly, &value, true), -1);
    QCOMPARE(bench.driver.writeCount(), 0);
    QVERIFY(bench.executor.executions.isEmpty());
}

void TestRegisterCommunication::withoutStreamOrProvider() {
    RegisterInfoStd info(0x12, 8, 8, 0xFF);
    RegisterValue value(1, 0);
    RegisterValue mask(1, 0);
    QList<IRegisterInfo*> infos{&info};
    QList<IRegisterValue*> values{&value};

    I2cComObjectProvider provider;
    provider.setConfiguration(kSlave);
    IcComCore noStream(nullptr, &provider);
    QCOMPARE(noStream.readRegister(&info, &value, false), -1);
    QCOMPARE(noStream.writeRegister(&info, &value), -2);
    QCOMPARE(noStream.modifyRegister(&info, &value, &mask), -2);
    QCOMPARE(noStream.readRegisterList(&infos, &values, true, false), -1);

    // Empty lists succeed before anything else is looked at.
    QList<IRegisterInfo*> noInfos;
    QList<IRegisterValue*> noValues;
    QCOMPARE(noStream.readRegisterList(&noInfos, &noValues, true, true), 0);
}

void TestRegisterCommunication::writeReadsBack() {
    Bench bench;
    RegisterInfoStd info(0x12, 8, 8, 0xFF);
    RecordingObserver observer("selected", {&info});
    bench.core.registerObserver(&observer);
    RegisterValue value(0xAB, 0);

    QCOMPARE(bench.core.writeRegister(&info, &value), 0);
    QCOMPARE(bench.registers.registerValue(0x12), static_cast<unsigned char>(0xAB));

    QCOMPARE(bench.driver.requests().count(), 2);
    QVERIFY(bench.driver.requests().at(0).fireAndForget);
    QCOMPARE(bench.driver.requests().at(0).payload, QByteArray::fromHex("8012ab"));
    QCOMPARE(bench.driver.requests().at(1).payload, QByteArray::fromHex("801281"));

    // The read-back carries its own trace bit on top of the provider's pattern.
    QCOMPARE(bench.executor.executions.count(), 2);
    QCOMPARE(bench.executor.executions.at(0).first().tracePattern, 0x8000000u);
    QCOMPARE(bench.executor.executions.at(1).first().tracePattern, 0x8010000u);

    QCOMPARE(observer.changes.count(), 1);
    QCOMPARE(observer.changes.first().second, 0xABu);
}

void TestRegisterCommunication::writeNotKeptGivesMinusThree() {
    Bench bench;
    bench.registers.setRegisterValue(0x21, 0x11);
    bench.registers.setFault(0x21, SimulatedRegisterFile::Fault::IgnoresWrites);
    RegisterInfoStd info(0x21, 8, 8, 0xFF);
    RecordingObserver observer("selected", {&info});
    bench.core.registerObserver(&observer);
    RegisterValue value(0xAB, 0);

    QCOMPARE(bench.core.writeRegister(&info, &value), -3);
    QCOMPARE(observer.changes.count(), 1);
    QCOMPARE(observer.changes.first().second, 0x11u);
}

void TestRegisterCommunication::writeTransferFails() {
    Bench bench;
    bench.driver.failWrite(0);
    RegisterInfoStd info(0x12, 8, 8, 0xFF);
    RecordingObserver observer("any", {});
    bench.core.registerObserver(&observer);
    RegisterValue value(0xAB, 0);
    QCOMPARE(bench.core.writeRegister(&info, &value), -2);
    QCOMPARE(bench.executor.executions.count(), 1);
    QVERIFY(observer.changes.isEmpty());

    // The lock was released: the next operation runs.
    QCOMPARE(bench.core.writeRegister(&info, &value), 0);
}

void TestRegisterCommunication::modifyDirect() {
    Bench bench;
    bench.registers.setRegisterValue(0x12, 0x50);
    RegisterInfoStd info(0x12, 8, 8, 0xFF);
    RecordingObserver observer("selected", {&info});
    bench.core.registerObserver(&observer);
    RegisterValue value(0xAB, 0);
    RegisterValue mask(0x0F, 0);

    QCOMPARE(bench.core.modifyRegister(&info, &value, &mask), 0);
    QCOMPARE(bench.registers.registerValue(0x12), static_cast<unsigned char>(0x5B));
    QCOMPARE(bench.driver.requests().count(), 2);
    QCOMPARE(bench.driver.requests().at(0).protocol, static_cast<unsigned char>(108));
    QCOMPARE(bench.driver.requests().at(0).payload, QByteArray::fromHex("8012ab0f"));
    QCOMPARE(observer.changes.first().second, 0x5Bu);
}

void TestRegisterCommunication::modifyDirectFailures() {
    {
        Bench bench;
        bench.driver.failWrite(0);
        RegisterInfoStd info(0x12, 8, 8, 0xFF);
        RegisterValue value(0xAB, 0);
        RegisterValue mask(0x0F, 0);
        QCOMPARE(bench.core.modifyRegister(&info, &value, &mask), -3);
    }
    {
        // Bits outside the mask may differ; bits inside may not.
        Bench bench;
        bench.registers.setRegisterValue(0x21, 0xF0);
        bench.registers.setFault(0x21, SimulatedRegisterFile::Fault::IgnoresWrites);
        RegisterInfoStd info(0x21, 8, 8, 0xFF);
        RegisterValue value(0x0A, 0);
        RegisterValue inside(0xF0, 0);
        QCOMPARE(bench.core.modifyRegister(&info, &value, &inside), -3);
        RegisterValue unchanged(0xF5, 0);
        QCOMPARE(bench.core.modifyRegister(&info, &unchanged, &inside), 0);
    }
}

void TestRegisterCommunication::modifyFallback() {
    ProviderWithoutModify provider;
    Bench bench(&provider);
    bench.registers.setRegisterValue(0x12, 0x50);
    RegisterInfoStd info(0x12, 8, 8, 0xFF);
    RecordingObserver observer("selected", {&info});
    bench.core.registerObserver(&observer);
    RegisterValue value(0xAB, 0);
    RegisterValue mask(0x0F, 0);

    QCOMPARE(bench.core.modifyRegister(&info, &value, &mask), 0);
    QCOMPARE(bench.registers.registerValue(0x12), static_cast<unsigned char>(0x5B));
    QCOMPARE(bench.executor.executions.count(), 3);
    QCOMPARE(bench.driver.requests().at(0).payload, QByteArray::fromHex("801281"));
    QCOMPARE(bench.driver.requests().at(1).payload, QByteArray::fromHex("80125b"));
    QCOMPARE(bench.driver.requests().at(2).payload, QByteArray::fromHex("801281"));
    QCOMPARE(bench.executor.executions.at(2).first().tracePattern, 0x8010000u);
    QCOMPARE(observer.changes.count(), 1);
    QCOMPARE(observer.changes.first().second, 0x5Bu);
}

// Every early exit of the fallback must also free its values; the leak checker watches this run.
void TestRegisterCommunication::modifyFallbackFailures_data() {
    QTest::addColumn<int>("failingTransfer");
    QTest::addColumn<int>("result");
    QTest::newRow("read fails") << 0 << -1;
    QTest::newRow("write fails") << 1 << -2;
    QTest::newRow("read-back fails") << 2 << -3;
}

void TestRegisterCommunication::modifyFallbackFailures() {
    QFETCH(int, failingTransfer);
    QFETCH(int, result);
    ProviderWithoutModify provider;
    Bench bench(&provider);
    bench.driver.failWrite(failingTransfer);
    RegisterInfoStd info(0x12, 8, 8, 0xFF);
    RecordingObserver observer("selected", {&info});
    bench.core.registerObserver(&observer);
    RegisterValue value(0xAB, 0);
    RegisterValue mask(0x0F, 0);

    QCOMPARE(bench.core.modifyRegister(&info, &value, &mask), result);
    QCOMPARE(bench.executor.executions.count(), failingTransfer + 1);
    QCOMPARE(observer.changes.count(), result == -3 ? 1 : 0);
}

void TestRegisterCommunication::listSingles() {
    Bench bench;
    for (unsigned char address = 0x10; address < 0x13; ++address)
        bench.registers.setRegisterValue(address, static_cast<unsigned char>(address + 0x40));
    RegisterInfoStd r10(0x10, 8, 8, 0xFF), r11(0x11, 8, 8, 0xFF), r12(0x12, 8, 8, 0xFF);
    QList<IRegisterInfo*> infos{&r10, &r11, &r12};
    OwnedValues values(3);
    RecordingObserver observer("any", {});
    bench.core.registerObserver(&observer);

    QCOMPARE(bench.core.readRegisterList(&infos, &values.list, false, true), 0);
    QCOMPARE(bench.executor.executions.count(), 1);
    QCOMPARE(bench.executor.executions.first().count(), 3);
    QCOMPARE(values.list.at(0)->value(), 0x50u);
    QCOMPARE(values.list.at(2)->value(), 0x52u);
    QCOMPARE(observer.changes.count(), 3);
    QCOMPARE(observer.changes.at(1).first, QStringLiteral("0x11"));
}

void TestRegisterCommunication::blockListTwoRuns() {
    Bench bench;
    bench.registers.setRegisterValue(0x10, 0xA0);
    bench.registers.setRegisterValue(0x11, 0xA1);
    bench.registers.setRegisterValue(0x12, 0xA2);
    bench.registers.setRegisterValue(0x20, 0xB0);
    RegisterInfoStd r10(0x10, 8, 8, 0xFF), r11(0x11, 8, 8, 0xFF), r12(0x12, 8, 8, 0xFF),
        r20(0x20, 8, 8, 0xFF);
    QList<IRegisterInfo*> infos{&r10, &r11, &r12, &r20};
    OwnedValues values(4);

    QCOMPARE(bench.core.readRegisterList(&infos, &values.list, true, false), 0);
    QCOMPARE(bench.executor.executions.count(), 1);
    const QList<ExecutedObject>& executed = bench.executor.executions.first();
    QCOMPARE(executed.count(), 2);
    QVERIFY(executed.at(0).block && executed.at(1).block);

    QCOMPARE(bench.driver.requests().count(), 2);
    QCOMPARE(bench.driver.requests().at(0).payload, QByteArray::fromHex("801081"));
    QCOMPARE(bench.driver.requests().at(0).replySize, 3u);
    QCOMPARE(bench.driver.requests().at(1).payload, QByteArray::fromHex("802081"));
    QCOMPARE(bench.driver.requests().at(1).replySize, 1u);

    const QList<unsigned int> expected{0xA0, 0xA1, 0xA2, 0xB0};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(values.list.at(i)->value(), expected.at(i));
        QCOMPARE(values.list.at(i)->state(), '\0');
    }
}

// A device that answers a block short is the device's fault: the list read fails, nothing stops.
void TestRegisterCommunication::blockListShortReply() {
    Bench bench;
    bench.registers.setFault(0x11, SimulatedRegisterFile::Fault::ShortReply);
    bench.registers.setRegisterValue(0x20, 0xB0);
    RegisterInfoStd r10(0x10, 8, 8, 0xFF), r11(0x11, 8, 8, 0xFF), r12(0x12, 8, 8, 0xFF),
        r20(0x20, 8, 8, 0xFF);
    QList<IRegisterInfo*> infos{&r10, &r11, &r12, &r20};
    OwnedValues values(4);
    RecordingObserver observer("any", {});
    bench.core.registerObserver(&observer);

    QCOMPARE(bench.core.readRegisterList(&infos, &values.list, true, true), -1);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(values.list.at(i)->value(), 0xFFFFu);
        QCOMPARE(values.list.at(i)->state(), '\1');
    }
    QCOMPARE(values.list.at(3)->value(), 0xB0u);
    QVERIFY(observer.changes.isEmpty());

    // The stream is left clean for the next operation.
    RegisterValue value;
    QCOMPARE(bench.core.readRegister(&r20, &value, false), 0);
}

// More consecutive registers than one payload holds still read in one exchange.
void TestRegisterCommunication::blockListLargerThanPayload() {
    Bench bench;
    for (int address = 0; address < 256; ++address)
        bench.registers.setRegisterValue(static_cast<unsigned char>(address),
                                         static_cast<unsigned char>(address ^ 0x5A));
    std::vector<std::unique_ptr<RegisterInfoStd>> owned;
    QList<IRegisterInfo*> infos;
    for (unsigned int address = 0; address < 1100; ++address) {
        owned.push_back(std::make_unique<RegisterInfoStd>(address, 8, 8, 0xFF));
        infos.append(owned.back().get());
    }
    OwnedValues values(1100);

    QCOMPARE(bench.core.readRegisterList(&infos, &values.list, true, false), 0);
    QCOMPARE(bench.executor.executions.count(), 1);
    QCOMPARE(bench.driver.requests().count(), 2);
    QCOMPARE(bench.driver.requests().at(0).replySize, 1088u);
    QCOMPARE(bench.driver.requests().at(1).replySize, 12u);
    for (int i : {0, 0x90, 1087, 1088, 1099}) {
        const unsigned char address = static_cast<unsigned char>(i & 0xFF);
        QCOMPARE(values.list.at(i)->value(),
                 static_cast<unsigned int>(bench.registers.registerValue(address)));
    }
}

void TestRegisterCommunication::listWithNullEntry() {
    Bench bench;
    RegisterInfoStd r10(0x10, 8, 8, 0xFF), r11(0x11, 8, 8, 0xFF);
    QList<IRegisterInfo*> infos{&r10, &r11};
    RegisterValue value;
    QList<IRegisterValue*> values{&value, nullptr};
    QCOMPARE(bench.core.readRegisterList(&infos, &values, false, false), -1);
    QCOMPARE(bench.core.readRegisterList(&infos, &values, true, false), -1);
    QList<IRegisterInfo*> nullInfo{&r10, nullptr};
    QList<IRegisterValue*> twoValues{&value, &value};
    QCOMPARE(bench.core.readRegisterList(&nullInfo, &twoValues, false, false), -1);
    QCOMPARE(bench.driver.writeCount(), 0);
}

void TestRegisterCommunication::observersSelectedAndAny() {
    Bench bench;
    RegisterInfoStd r12(0x12, 8, 8, 0xFF);
    RegisterInfoStd r13(0x13, 8, 8, 0xFF);
    RecordingObserver earlyAny("early", {});
    RecordingObserver selected("selected", {&r12});
    RecordingObserver lateAny("late", {});
    bench.core.registerObserver(&earlyAny);
    bench.core.registerObserver(&selected);
    bench.core.registerObserver(&lateAny);

    RegisterValue value;
    QCOMPARE(bench.core.readRegister(&r12, &value, true), 0);
    // 0x12 has a list of its own: only observers in it hear about it.
    QCOMPARE(selected.changes.count(), 1);
    QCOMPARE(lateAny.changes.count(), 1);
    QCOMPARE(earlyAny.changes.count(), 0);

    QCOMPARE(bench.core.readRegister(&r13, &value, true), 0);
    QCOMPARE(selected.changes.count(), 1);
    QCOMPARE(lateAny.changes.count(), 2);
    QCOMPARE(earlyAny.changes.count(), 1);
    QCOMPARE(earlyAny.changes.last().first, QStringLiteral("0x13"));

    // Without notify nobody hears anything.
    QCOMPARE(bench.core.readRegister(&r13, &value, false), 0);
    QCOMPARE(earlyAny.changes.count(), 1);
}

void TestRegisterCommunication::observerRemoval() {
    ComObserverCache cache;
    RegisterInfoStd r12(0x12, 8, 8, 0xFF);
    RegisterInfoStd r20(0x20, 8, 8, 0xFF);
    RecordingObserver first("first", {&r12, &r20});
    RecordingObserver second("second", {&r12});
    cache.append(&first);
    cache.append(&second);
    cache.append(&second);
    QCOMPARE(cache.observers()->count(), 2);
    QCOMPARE(cache.findObservers(&r12)->count(), 3);
    QCOMPARE(cache.toString(), QStringLiteral("ComObserverCache entries:\n"
                                              "    reg addr: 0x12\n"
                                              "        Observer: first\n"
                                              "        Observer: second\n"
                                              "        Observer: second\n"
                                              "    reg addr: 0x20\n"
                                              "        Observer: first\n"));

    cache.remove(&first);
    QCOMPARE(cache.findObservers(&r12)->count(), 2);
    QVERIFY(cache.findObservers(&r20) == nullptr);
    cache.remove(&second);
    QVERIFY(cache.findObservers(&r12) == nullptr);
    QVERIFY(cache.observers()->isEmpty());
    QCOMPARE(cache.toString(), QStringLiteral("ComObserverCache entries:\n"));
}

// The cache must not hold on to the descriptions an observer once named.
void TestRegisterCommunication::cacheOutlivesDescriptions() {
    ComObserverCache cache;
    auto* shortLived = new RegisterInfoStd(0x12, 8, 8, 0xFF);
    RecordingObserver selected("selected", {shortLived});
    cache.append(&selected);
    delete shortLived;

    RecordingObserver any("any", {});
    cache.append(&any);
    QCOMPARE(cache.toString(), QStringLiteral("ComObserverCache entries:\n"
                                              "    reg addr: 0x12\n"
                                              "        Observer: selected\n"
                                              "        Observer: any\n"));
    RegisterInfoStd again(0x12, 8, 8, 0xFF);
    QCOMPARE(cache.findObservers(&again)->count(), 2);
}

// Observers are told after the lock is released, so they may use the register node themselves.
void TestRegisterCommunication::observerMayCallBack() {
    Bench bench;
    RegisterInfoStd r12(0x12, 8, 8, 0xFF);
    RegisterInfoStd id(SimulatedRegisterFile::identificationRegister, 8, 8, 0xFF);
    RegisterValue idValue;
    struct CallingBack : RecordingObserver {
        CallingBack(IcComCore* core, IRegisterInfo* info, IRegisterValue* value)
            : RecordingObserver("calling back", {})
            , itsCore(core)
            , itsInfo(info)
            , itsValue(value) {}
        void onValueChanged(IRegisterInfo* info, IRegisterValue* value) override {
            RecordingObserver::onValueChanged(info, value);
            if (info->equals(itsInfo))
                return;
            result = itsCore->readRegister(itsInfo, itsValue, false);
        }
        IcComCore* itsCore;
        IRegisterInfo* itsInfo;
        IRegisterValue* itsValue;
        int result = 1;
    } observer(&bench.core, &id, &idValue);
    bench.core.registerObserver(&observer);

    RegisterValue value(0x22, 0);
    QCOMPARE(bench.core.writeRegister(&r12, &value), 0);
    QCOMPARE(observer.result, 0);
    QCOMPARE(idValue.value(), 0x8Eu);
}

ZYR_TEST_CLASS(TestRegisterCommunication)

#include "tst_registercommunication.moc"
