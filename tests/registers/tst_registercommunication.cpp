#include "framefakedriver.h"
#include "simulatedregisterfile.h"
#include "testregistry.h"

#include "Communication/Control/resetfwcomobject.h"
#include "Communication/I2c/i2ccomobjectprovider.h"
#include "Communication/comobservercache.h"
#include "Communication/comstream.h"
#include "Communication/iccomcore.h"
#include "Communication/icomobserver.h"
#include "Communication/registerinfostd.h"
#include "Communication/registervalue.h"

#include <QtTest>

#include <memory>

using namespace ZyrCore::Communication;
using namespace ZyrCore::Communication::I2c;
using ZyrSim::SimulatedRegisterFile;
using Fault = SimulatedRegisterFile::Fault;
using Bytes = QList<QByteArray>;
using Values = QList<unsigned int>;
Q_DECLARE_METATYPE(Fault)

namespace {

constexpr unsigned char kSlave = 0x40;

// Passes everything to the real stream and notes the trace patterns of each executed sequence.
class RecordingExecutor : public IComExecutor {
public:
    explicit RecordingExecutor(ComStream* stream)
        : itsStream(stream) {}
    bool open() override { return itsStream->open(); }
    bool close() override { return itsStream->close(); }
    bool isOpen() override { return itsStream->isOpen(); }
    int lastError() override { return itsStream->lastError(); }
    bool execute(IComObject* comObject) override { return itsStream->execute(comObject); }
    void execute(QQueue<IComObject*>* queue) override {
        executions.append(QList<unsigned int>());
        for (IComObject* comObject : *queue)
            executions.last().append(comObject->tracePattern());
        itsStream->execute(queue);
    }

    QList<QList<unsigned int>> executions;

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
        , itsRegisters(std::move(registers)) {}
    bool observesSelectedRegisters() override { return !itsRegisters.isEmpty(); }
    QList<IRegisterInfo*> observedRegisters() override { return itsRegisters; }
    void onValueChanged(IRegisterInfo* info, IRegisterValue* value) override {
        ids.append(info->id());
        values.append(value->value());
    }
    void onRegisterSetChanged(ZyrCore::Register::RegisterSet*) override {}
    QString name() override { return itsName; }

    QStringList ids;
    Values values;

private:
    QString itsName;
    QList<IRegisterInfo*> itsRegisters;
};

// The simulated board's register file behind the real stream.
struct Bench {
    explicit Bench(bool withModify = true)
        : driver(&firmware)
        , stream(&driver, ComStream::theLateFlushPolicy)
        , executor(&stream)
        , provider(withModify ? new I2cComObjectProvider : new ProviderWithoutModify)
        , core(&executor, provider.get()) {
        registers.install(firmware);
        provider->setConfiguration(kSlave);
        stream.open();
        core.open();
    }

    QList<QByteArray> payloads() const {
        QList<QByteArray> result;
        for (const ZyrSim::FirmwareRequest& request : driver.requests())
            result.append(request.payload);
        return result;
    }

    ZyrSim::FirmwareTable firmware;
    SimulatedRegisterFile registers;
    FrameFakeDriver driver;
    ComStream stream;
    RecordingExecutor executor;
    std::unique_ptr<I2cComObjectProvider> provider;
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
    void read_data();
    void read();
    void write_data();
    void write();
    void modify_data();
    void modify();
    void list_data();
    void list();
    void blockListLargerThanPayload();
    void cacheOutlivesDescriptions();
    void resetRestoresPowerOnContents();
};

void TestRegisterCommunication::read_data() {
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<unsigned int>("mask");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("transfers");
    QTest::addColumn<Values>("notified");
    QTest::newRow("answered") << Fault::None << 0xFFu << 0 << 1 << Values{0x50};
    // A reply one byte short is a failed read: no value of it reaches the observers.
    QTest::newRow("short reply") << Fault::ShortReply << 0xFFu << -1 << 1 << Values{};
    QTest::newRow("write-only") << Fault::None << 0u << -1 << 0 << Values{};
}

void TestRegisterCommunication::read() {
    QFETCH(Fault, fault);
    QFETCH(unsigned int, mask);
    Bench bench;
    bench.registers.setRegisterValue(0x12, 0x50);
    bench.registers.setFault(0x12, fault);
    RegisterInfoStd info(0x12, 8, 8, mask);
    RecordingObserver observer("selected", {&info});
    bench.core.registerObserver(&observer);
    RegisterValue value(0xAB, 0);

    QTEST(bench.core.readRegister(&info, &value, true), "result");
    QTEST(int(bench.executor.executions.count()), "transfers");
    QTEST(observer.values, "notified");
}

// A write counts only when the register reads back what was written; observers are told what
// was read back.
void TestRegisterCommunication::write_data() {
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<unsigned int>("mask");
    QTest::addColumn<int>("failingTransfer");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("transfers");
    QTest::addColumn<Values>("notified");
    QTest::newRow("confirmed") << Fault::None << 0xFFu << -1 << 0 << 2 << Values{0xAB};
    QTest::newRow("not kept") << Fault::IgnoresWrites << 0xFFu << -1 << -3 << 2 << Values{0x50};
    QTest::newRow("write fails") << Fault::None << 0xFFu << 0 << -2 << 1 << Values{};
    QTest::newRow("write-only") << Fault::None << 0u << -1 << 0 << 1 << Values{};
}

void TestRegisterCommunication::write() {
    QFETCH(Fault, fault);
    QFETCH(unsigned int, mask);
    QFETCH(int, failingTransfer);
    Bench bench;
    bench.registers.setRegisterValue(0x12, 0x50);
    bench.registers.setFault(0x12, fault);
    bench.driver.failWrite(failingTransfer);
    RegisterInfoStd info(0x12, 8, 8, mask);
    RecordingObserver observer("selected", {&info});
    bench.core.registerObserver(&observer);
    RegisterValue value(0xAB, 0);

    QTEST(bench.core.writeRegister(&info, &value), "result");
    QTEST(int(bench.executor.executions.count()), "transfers");
    QTEST(observer.values, "notified");
    if (failingTransfer < 0)
        QCOMPARE(bench.payloads().first(), QByteArray::fromHex("8012ab"));
}

// Without a masked write on the bus the node reads, writes and reads back; every early exit of
// that fallback must also free its values, which the leak checker watches.
void TestRegisterCommunication::modify_data() {
    QTest::addColumn<bool>("withModify");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<unsigned int>("value");
    QTest::addColumn<unsigned int>("mask");
    QTest::addColumn<int>("failingTransfer");
    QTest::addColumn<int>("result");
    QTest::addColumn<Bytes>("payloads");
    QTest::addColumn<int>("notifications");

    const Bytes direct{QByteArray::fromHex("8012ab0f"), QByteArray::fromHex("801281")};
    const Bytes fallback{QByteArray::fromHex("801281"), QByteArray::fromHex("80125b"),
                         QByteArray::fromHex("801281")};
    QTest::newRow("masked write") << true << Fault::None << 0xABu << 0x0Fu << -1 << 0 << direct
                                  << 1;
    QTest::newRow("masked write fails")
        << true << Fault::None << 0xABu << 0x0Fu << 0 << -3 << Bytes{} << 1;
    // Bits outside the mask may differ after the write; bits inside may not.
    QTest::newRow("masked bits not kept")
        << true << Fault::IgnoresWrites << 0x0Au << 0xF0u << -1 << -3 << Bytes{} << 1;
    QTest::newRow("only unmasked bits differ")
        << true << Fault::IgnoresWrites << 0x55u << 0xF0u << -1 << 0 << Bytes{} << 1;
    QTest::newRow("fallback") << false << Fault::None << 0xABu << 0x0Fu << -1 << 0 << fallback << 1;
    QTest::newRow("fallback read fails")
        << false << Fault::None << 0xABu << 0x0Fu << 0 << -1 << Bytes{} << 0;
    QTest::newRow("fallback write fails")
        << false << Fault::None << 0xABu << 0x0Fu << 1 << -2 << Bytes{} << 0;
    QTest::newRow("fallback read-back fails")
        << false << Fault::None << 0xABu << 0x0Fu << 2 << -3 << Bytes{} << 1;
}

void TestRegisterCommunication::modify() {
    QFETCH(bool, withModify);
    QFETCH(Fault, fault);
    QFETCH(unsigned int, value);
    QFETCH(unsigned int, mask);
    QFETCH(int, failingTransfer);
    QFETCH(Bytes, payloads);
    Bench bench(withModify);
    bench.registers.setRegisterValue(0x12, 0x50);
    bench.registers.setFault(0x12, fault);
    bench.driver.failWrite(failingTransfer);
    RegisterInfoStd info(0x12, 8, 8, 0xFF);
    RecordingObserver observer("selected", {&info});
    bench.core.registerObserver(&observer);
    RegisterValue newValue(value, 0);
    RegisterValue maskValue(mask, 0);

    QTEST(bench.core.modifyRegister(&info, &newValue, &maskValue), "result");
    QTEST(observer.values.count(), "notifications");
    if (!withModify && failingTransfer >= 0)
        QCOMPARE(bench.executor.executions.count(), failingTransfer + 1);
    if (payloads.isEmpty())
        return;
    QCOMPARE(bench.registers.registerValue(0x12), static_cast<unsigned char>(0x5B));
    QCOMPARE(observer.values.first(), 0x5Bu);
    QCOMPARE(bench.payloads(), payloads);
    QCOMPARE(bench.driver.requests().at(0).protocol,
             static_cast<unsigned char>(withModify ? 108 : 97));
    QCOMPARE(bench.executor.executions.last().first(), 0x8010000u);
}

// Registers 0x10, 0x11, 0x12 and 0x20, read one by one or as runs of consecutive addresses.
void TestRegisterCommunication::list_data() {
    QTest::addColumn<bool>("asBlocks");
    QTest::addColumn<int>("valueBits");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("result");
    QTest::addColumn<Bytes>("payloads");
    QTest::addColumn<Values>("replySizes");
    QTest::addColumn<Values>("values");
    QTest::addColumn<QByteArray>("states");

    const QByteArray read10 = QByteArray::fromHex("801081");
    const QByteArray read20 = QByteArray::fromHex("802081");
    QTest::newRow("singles") << false << 8 << Fault::None << 0
                             << Bytes{read10, QByteArray::fromHex("801181"),
                                      QByteArray::fromHex("801281"), read20}
                             << Values{1, 1, 1, 1} << Values{0xA0, 0xA1, 0xA2, 0xB0}
                             << QByteArray(4, '\0');
    QTest::newRow("two blocks") << true << 8 << Fault::None << 0 << Bytes{read10, read20}
                                << Values{3, 1} << Values{0xA0, 0xA1, 0xA2, 0xB0}
                                << QByteArray(4, '\0');
    // Two bytes a value, the first one the most significant.
    QTest::newRow("two blocks, 16-bit values")
        << true << 16 << Fault::None << 0 << Bytes{read10, read20} << Values{6, 2}
        << Values{0xA0A1, 0xA2A3, 0xA4A5, 0xB0B1} << QByteArray(4, '\0');
    // A device that answers a block short is the device's fault: the list read fails, nothing
    // stops, and the short run keeps its values.
    QTest::newRow("short block") << true << 8 << Fault::ShortReply << -1 << Bytes{read10, read20}
                                 << Values{3, 1} << Values{0xFFFF, 0xFFFF, 0xFFFF, 0xB0}
                                 << QByteArray::fromHex("01010100");
}

void TestRegisterCommunication::list() {
    QFETCH(bool, asBlocks);
    QFETCH(int, valueBits);
    QFETCH(Fault, fault);
    QFETCH(int, result);
    QFETCH(Bytes, payloads);
    QFETCH(Values, values);
    Bench bench;
    for (unsigned char address : {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x20, 0x21})
        bench.registers.setRegisterValue(address, static_cast<unsigned char>(address + 0x90));
    bench.registers.setFault(0x11, fault);
    const auto bits = static_cast<unsigned char>(valueBits);
    RegisterInfoStd r10(0x10, 8, bits, 0xFF), r11(0x11, 8, bits, 0xFF), r12(0x12, 8, bits, 0xFF),
        r20(0x20, 8, bits, 0xFF);
    QList<IRegisterInfo*> infos{&r10, &r11, &r12, &r20};
    OwnedValues owned(4);
    RecordingObserver observer("any", {});
    bench.core.registerObserver(&observer);
    // A null entry refuses the whole list before anything is sent.
    RegisterValue spare;
    QList<IRegisterInfo*> withNullInfo{&r10, nullptr}, pair{&r10, &r11};
    QList<IRegisterValue*> withNullValue{&spare, nullptr}, spares{&spare, &spare};
    QCOMPARE(bench.core.readRegisterList(&pair, &withNullValue, asBlocks, false), -1);
    QCOMPARE(bench.core.readRegisterList(&withNullInfo, &spares, asBlocks, false), -1);
    QCOMPARE(bench.driver.writeCount(), 0);

    QCOMPARE(bench.core.readRegisterList(&infos, &owned.list, asBlocks, true), result);
    // One execute for the whole list.
    QCOMPARE(bench.executor.executions.count(), 1);
    QCOMPARE(bench.executor.executions.first().count(), payloads.count());
    QCOMPARE(bench.payloads(), payloads);
    Values sizes;
    Values read;
    QByteArray readStates;
    for (const ZyrSim::FirmwareRequest& request : bench.driver.requests())
        sizes.append(request.replySize);
    for (IRegisterValue* value : owned.list) {
        read.append(value->value());
        readStates.append(value->state());
    }
    QTEST(sizes, "replySizes");
    QCOMPARE(read, values);
    QTEST(readStates, "states");
    QCOMPARE(observer.values, result == 0 ? values : Values{});
    if (result == 0)
        QCOMPARE(observer.ids.at(1), QStringLiteral("0x11"));

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

// The chip's registers come back as they were at power-on, its identification among them.
void TestRegisterCommunication::resetRestoresPowerOnContents() {
    Bench bench;
    RegisterInfoStd identification(SimulatedRegisterFile::identificationRegister, 8, 8, 0xFF);
    RegisterInfoStd other(0x30, 8, 8, 0xFF);
    RegisterValue written(0x55, 0);
    QCOMPARE(bench.core.writeRegister(&other, &written), 0);
    Control::ResetFwComObject reset(0, 0);
    bench.stream.execute(&reset);
    QCOMPARE(bench.stream.lastError(), 0);
    QCOMPARE(bench.registers.resetCount(), 1);

    Values read;
    for (RegisterInfoStd* info : {&identification, &other}) {
        RegisterValue value;
        QCOMPARE(bench.core.readRegister(info, &value, false), 0);
        read.append(value.value());
    }
    QCOMPARE(read, (Values{SimulatedRegisterFile::identificationValue, 0}));
}

ZYR_TEST_CLASS(TestRegisterCommunication)

#include "tst_registercommunication.moc"
