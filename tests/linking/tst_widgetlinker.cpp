#include "boardrig.h"
#include "linkingtestsupport.h"
#include "simulatedregisterfile.h"
#include "testregistry.h"

#include "Communication/I2c/i2ccomobjectprovider.h"
#include "Communication/I2c/i2cmodifyregistercomobject.h"
#include "widgetlinking/doublespinboxvaluemapper.h"
#include "widgetlinking/valuerange.h"
#include "zyrdoublespinbox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSignalSpy>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QStyleOptionSpinBox>

#include <algorithm>

using ZyrCore::Communication::IcComCore;
using ZyrCore::Communication::IRegisterCommunication;
using ZyrCore::Communication::RegisterInfoStd;
using ZyrCore::Communication::RegisterValue;
using ZyrCore::Communication::I2c::I2cComObjectProvider;
using ZyrCore::Communication::I2c::I2cModifyRegisterComObject;
using ZyrGui::ZyrDoubleSpinBox;
using ZyrGui::WidgetLinking::DoubleSpinBoxValueMapper;
using ZyrGui::WidgetLinking::RegisterLinkInfo;
using ZyrGui::WidgetLinking::ValueRange;
using ZyrGui::WidgetLinking::WidgetLinker;
using ZyrSim::SimulatedRegisterFile;

namespace {
// A double spin box whose arrows are clicked where its style draws them, as a user clicks them.
class ClickableDoubleSpinBox : public ZyrDoubleSpinBox {
public:
    void clickArrow(QStyle::SubControl arrow) {
        show();
        QVERIFY(QTest::qWaitForWindowExposed(this));
        QStyleOptionSpinBox option;
        initStyleOption(&option);
        const QRect where = style()->subControlRect(QStyle::CC_SpinBox, &option, arrow, this);
        QVERIFY(!where.isEmpty());
        QTest::mouseClick(this, Qt::LeftButton, Qt::NoModifier, where.center());
    }
};

// A horizontal slider dragged by its handle with the mouse, as a user drags it.
class DraggableSlider : public QSlider {
public:
    DraggableSlider()
        : QSlider(Qt::Horizontal) {
        resize(400, 30);
    }
    void grab() {
        show();
        QVERIFY(QTest::qWaitForWindowExposed(this));
        itsGrip = part(QStyle::SC_SliderHandle).center();
        QTest::mousePress(this, Qt::LeftButton, Qt::NoModifier, itsGrip);
    }
    // Moves the held handle to where the style draws it at position.
    void moveTo(int position) {
        const QRect handle = part(QStyle::SC_SliderHandle);
        const QRect groove = part(QStyle::SC_SliderGroove);
        itsGrip.rx() += groove.x() - handle.x() +
                        QStyle::sliderPositionFromValue(minimum(), maximum(), position,
                                                        groove.width() - handle.width());
        QMouseEvent move(QEvent::MouseMove, itsGrip, mapToGlobal(itsGrip), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(this, &move);
    }
    void release() { QTest::mouseRelease(this, Qt::LeftButton, Qt::NoModifier, itsGrip); }

private:
    QRect part(QStyle::SubControl which) {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return style()->subControlRect(QStyle::CC_Slider, &option, which, this);
    }
    QPoint itsGrip;
};

// The simulated board's sensor chip, reached over I2C through the board's HID interface.
struct BoardChip {
    BoardChip() {
        provider.setConfiguration(SimulatedRegisterFile::defaultSlaveAddress);
        core.open();
    }
    // Register writes that reached the board.
    long writes() const {
        return std::count_if(rig.requests.cbegin(), rig.requests.cend(), [](const auto& request) {
            return request.protocol == I2cModifyRegisterComObject::modifyProtocol;
        });
    }

    BoardRig rig;
    I2cComObjectProvider provider;
    IcComCore core{&rig.stream, &provider};
};

// One register shown in every widget kind, in memory unless another communication is given. With
// ranges, indexes 5-14 are raw firstRaw+0..9 (values 1..10) and indexes 25-34 raw firstRaw+0x20..
// (values 20..29), and combo-box rows count from index 5; a check box takes no ranges and takes
// the combo box's place without them.
struct LinkedWidgets {
    explicit LinkedWidgets(bool withRanges = true, IRegisterCommunication* device = nullptr,
                           unsigned int address = 0x30, unsigned int firstRaw = 0x20)
        : com(device != nullptr ? device : &fake)
        , reg(address, 8, 8, 0xFF) {
        doubleSpin.setRange(-1000, 1000);
        linker.attach(com, new RegisterLinkInfo(&reg, 0xFF));
        if (withRanges) {
            linker.valueRanges()->addValueRange(new ValueRange(5, 10, firstRaw, 1, 1.0, 1.0));
            linker.valueRanges()->addValueRange(
                new ValueRange(25, 10, firstRaw + 0x20, 1, 20.0, 1.0));
            linker.link(&combo);
        } else {
            linker.link(&check, false);
        }
        linker.link(&spin);
        linker.link(&slider);
        linker.link(&doubleSpin);
    }
    void expectShown(int index, double value) {
        QCOMPARE(spin.value(), index);
        QCOMPARE(slider.value(), index);
        QCOMPARE(doubleSpin.value(), value);
        if (!linker.valueRanges()->isEmpty())
            QCOMPARE(combo.currentIndex(), index - 5);
    }
    unsigned int raw() const { return fake.registers.value(reg.key()); }

    FakeRegisterCommunication fake;
    IRegisterCommunication* com;
    RegisterInfoStd reg;
    QSpinBox spin;
    QComboBox combo;
    DraggableSlider slider;
    ClickableDoubleSpinBox doubleSpin;
    QCheckBox check;
    WidgetLinker linker;
};
// Widgets linked to one register of the board's chip, showing what the chip holds: its own
// value unless a start value is given.
struct LinkedChipRegister {
    LinkedChipRegister(bool withRanges, unsigned int address, unsigned int firstRaw,
                       int startValue = -1)
        : linked(withRanges, &chip.core, address, firstRaw) {
        if (startValue >= 0)
            chip.rig.board->registerFile().setRegisterValue(address, quint8(startValue));
        RegisterValue read;
        chip.core.readRegister(&linked.reg, &read, true);
    }

    BoardChip chip;
    LinkedWidgets linked;
};
} // namespace

class TestWidgetLinker : public QObject {
    Q_OBJECT

private slots:
    void editReachesDeviceAndEveryWidget_data();
    void editReachesDeviceAndEveryWidget();
    void draggedSliderCommitsOnRelease_data();
    void draggedSliderCommitsOnRelease();
    void heldArrowRepeatsOnceAndStopsWhenHidden();
    void refusedEditShowsTheBoardValueEverywhere_data();
    void refusedEditShowsTheBoardValueEverywhere();
    void clickedArrowStepsTheBoardAndEveryWidget_data();
    void clickedArrowStepsTheBoardAndEveryWidget();
    void shortReadLeavesEveryWidget();
    void holdTimeThrottlesDeviceUpdates();
    void checkBoxUnattachedAndDestroyedWidgets();
};

void TestWidgetLinker::editReachesDeviceAndEveryWidget_data() {
    QTest::addColumn<unsigned int>("startRaw");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<double>("input");
    QTest::addColumn<int>("writes");
    QTest::addColumn<unsigned int>("raw");
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("value");
    QTest::newRow("spin box") << 0x20u << "spin" << 8.0 << 1 << 0x23u << 8 << 4.0;
    QTest::newRow("combo box row 0 is the lowest index")
        << 0x49u << "combo" << 0.0 << 1 << 0x20u << 5 << 1.0;
    QTest::newRow("combo box, second range")
        << 0x20u << "combo" << 22.0 << 1 << 0x42u << 27 << 22.0;
    QTest::newRow("typed value snaps to the nearer grid point")
        << 0x20u << "typed" << 15.6 << 1 << 0x40u << 25 << 20.0;
    QTest::newRow("slider previews, then commits")
        << 0x20u << "slider" << 28.0 << 1 << 0x43u << 28 << 23.0;
    QTest::newRow("device value is shown, not written")
        << 0x20u << "device" << double(0x45) << 0 << 0x45u << 30 << 25.0;
    QTest::newRow("step up across the gap") << 0x29u << "step" << 1.0 << 1 << 0x40u << 25 << 20.0;
    QTest::newRow("step down across the gap")
        << 0x40u << "step" << -1.0 << 1 << 0x29u << 14 << 10.0;
    QTest::newRow("step past the top stays") << 0x49u << "step" << 1.0 << 1 << 0x49u << 34 << 29.0;
    QTest::newRow("step past the bottom stays")
        << 0x20u << "step" << -3.0 << 1 << 0x20u << 5 << 1.0;
    QTest::newRow("refused write with failing reads shows the last value")
        << 0x23u << "refused" << 30.0 << 1 << 0x23u << 8 << 4.0;
    QTest::newRow("step within a range") << 0x21u << "step" << 3.0 << 1 << 0x24u << 9 << 5.0;
}

void TestWidgetLinker::editReachesDeviceAndEveryWidget() {
    QFETCH(unsigned int, startRaw);
    QFETCH(QString, edit);
    QFETCH(double, input);
    QFETCH(int, writes);
    QFETCH(unsigned int, raw);
    QFETCH(int, index);
    QFETCH(double, value);

    LinkedWidgets linked;
    linked.fake.deviceChanges(&linked.reg, startRaw);
    QSignalSpy metaValues(&linked.linker, &WidgetLinker::metaValueChanged);
    if (edit == QLatin1String("refused")) {
        linked.fake.refuseWrites = true;
        linked.fake.failReads = true;
        linked.spin.setValue(int(input));
    } else if (edit == QLatin1String("spin")) {
        linked.spin.setValue(int(input));
    } else if (edit == QLatin1String("combo")) {
        linked.combo.setCurrentIndex(int(input));
    } else if (edit == QLatin1String("typed")) {
        linked.doubleSpin.setValue(input);
    } else if (edit == QLatin1String("step")) {
        dynamic_cast<DoubleSpinBoxValueMapper*>(linked.linker.mapper(&linked.doubleSpin))
            ->increaseIndexBy(int(input));
    } else if (edit == QLatin1String("slider")) {
        // The preview shows at once without writing; the commit follows the pause.
        linked.slider.setValue(int(input));
        QCOMPARE(linked.fake.writes, 0);
        QCOMPARE(linked.spin.value(), index);
    } else {
        linked.fake.deviceChanges(&linked.reg, unsigned(input));
    }

    // Every value that came from the device (the read-back included) is announced; a slider's
    // preview is announced before its commit.
    QCOMPARE(metaValues.count(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(linked.fake.writes, writes, 10000);
    QCOMPARE(metaValues.last().at(0).toInt(), int(raw));
    QCOMPARE(linked.raw(), raw);
    linked.expectShown(index, value);
}

void TestWidgetLinker::draggedSliderCommitsOnRelease_data() {
    QTest::addColumn<QList<int>>("positions"); // a tracking commit after each but the last
    QTest::newRow("released at once") << QList<int>{28};
    QTest::newRow("held past the tracking interval") << QList<int>{10, 28};
}

// Every widget follows the held handle; the device gets the position the handle is let go at.
void TestWidgetLinker::draggedSliderCommitsOnRelease() {
    QFETCH(QList<int>, positions);
    LinkedWidgets linked;
    linked.fake.deviceChanges(&linked.reg, 0x20);
    linked.slider.grab();
    for (int move = 0; move < positions.size(); ++move) {
        linked.slider.moveTo(positions[move]);
        QCOMPARE(linked.spin.value(), positions[move]);
        if (move + 1 < positions.size())
            QTRY_COMPARE_WITH_TIMEOUT(linked.fake.writes, move + 1, 10000);
    }
    QCOMPARE(linked.fake.writes, positions.size() - 1);
    linked.slider.release();
    QCOMPARE(linked.fake.writes, positions.size());
    QCOMPARE(linked.raw(), 0x43u);
    linked.expectShown(28, 23.0);
}

void TestWidgetLinker::heldArrowRepeatsOnceAndStopsWhenHidden() {
    LinkedWidgets linked;
    linked.fake.deviceChanges(&linked.reg, 0x20);
    linked.doubleSpin.show();
    emit linked.doubleSpin.spinBoxButtonPressed(ZyrDoubleSpinBox::UpButton);
    emit linked.doubleSpin.spinBoxButtonPressed(ZyrDoubleSpinBox::UpButton);
    QCOMPARE(linked.fake.writes, 2);
    // Two presses still step once per repeat. The event loop runs one pass at a time, as a pass
    // fires a timer at most once however late it comes; the guard wakes the last pass.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(10000);
    while (linked.fake.writes < 3 && deadline.isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    linked.doubleSpin.hide();
    QCOMPARE(linked.fake.writes, 3);
    QTest::qWait(500);
    QCOMPARE(linked.fake.writes, 3);
    QCOMPARE(linked.spin.value(), 8);
}

void TestWidgetLinker::refusedEditShowsTheBoardValueEverywhere_data() {
    QTest::addColumn<bool>("withRanges");
    QTest::addColumn<QString>("edit");
    const QStringList everyKind{"spin box", "slider", "typed value", "key up", "arrow up"};
    for (const QString& edit : everyKind + QStringList{"combo box"})
        QTest::addRow("ranges, %s", qPrintable(edit)) << true << edit;
    for (const QString& edit : everyKind + QStringList{"check box"})
        QTest::addRow("raw, %s", qPrintable(edit)) << false << edit;
}

void TestWidgetLinker::refusedEditShowsTheBoardValueEverywhere() {
    QFETCH(bool, withRanges);
    QFETCH(QString, edit);

    // The chip keeps its identification register fixed: each write is refused. With ranges its
    // value is the first of the second range.
    const int identification = SimulatedRegisterFile::identificationValue;
    LinkedChipRegister linkedChip(withRanges, SimulatedRegisterFile::identificationRegister,
                                  identification - 0x20);
    BoardChip& chip = linkedChip.chip;
    LinkedWidgets& linked = linkedChip.linked;
    const auto expectBoardValue = [&] {
        linked.expectShown(withRanges ? 25 : identification, withRanges ? 20.0 : identification);
        if (!withRanges)
            QCOMPARE(linked.check.checkState(), Qt::PartiallyChecked);
    };
    expectBoardValue();

    if (edit == QLatin1String("spin box")) {
        linked.spin.setValue(3);
    } else if (edit == QLatin1String("slider")) {
        linked.slider.setValue(5);
    } else if (edit == QLatin1String("combo box")) {
        linked.combo.setCurrentIndex(2);
    } else if (edit == QLatin1String("check box")) {
        linked.check.setChecked(true);
    } else if (edit == QLatin1String("typed value")) {
        linked.doubleSpin.setValue(7.2);
    } else if (edit == QLatin1String("key up")) {
        QTest::keyClick(&linked.doubleSpin, Qt::Key_Up);
    } else {
        linked.doubleSpin.clickArrow(QStyle::SC_SpinBoxUp);
    }
    // A slider commits after a pause; every other edit is written at once.
    QTRY_COMPARE_WITH_TIMEOUT(chip.writes(), 1L, 10000);
    expectBoardValue();
}

void TestWidgetLinker::clickedArrowStepsTheBoardAndEveryWidget_data() {
    QTest::addColumn<bool>("withRanges");
    QTest::addColumn<bool>("up");
    QTest::addColumn<int>("raw");
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("value");
    // The register holds 0x40 at first: index 25, value 20 with ranges.
    QTest::newRow("ranges, up") << true << true << 0x41 << 26 << 21.0;
    QTest::newRow("ranges, down across the gap") << true << false << 0x29 << 14 << 10.0;
    QTest::newRow("raw, up") << false << true << 0x41 << 0x41 << 65.0;
    QTest::newRow("raw, down") << false << false << 0x3F << 0x3F << 63.0;
}

void TestWidgetLinker::clickedArrowStepsTheBoardAndEveryWidget() {
    QFETCH(bool, withRanges);
    QFETCH(bool, up);
    QFETCH(int, raw);
    QFETCH(int, index);
    QFETCH(double, value);

    const unsigned char address = 0x30;
    LinkedChipRegister linkedChip(withRanges, address, 0x20, 0x40);
    BoardChip& chip = linkedChip.chip;
    LinkedWidgets& linked = linkedChip.linked;

    linked.doubleSpin.clickArrow(up ? QStyle::SC_SpinBoxUp : QStyle::SC_SpinBoxDown);
    QTRY_COMPARE_WITH_TIMEOUT(int(chip.rig.board->registerFile().registerValue(address)), raw,
                              10000);
    QCOMPARE(chip.writes(), 1L);
    linked.expectShown(index, value);
}

// A read the chip answers a byte short tells the linker, and so the widgets, nothing: each keeps
// what it showed.
void TestWidgetLinker::shortReadLeavesEveryWidget() {
    LinkedChipRegister linkedChip(true, 0x30, 0x20, 0x40);
    LinkedWidgets& linked = linkedChip.linked;
    linkedChip.chip.rig.board->registerFile().setFault(0x30,
                                                       SimulatedRegisterFile::Fault::ShortReply);
    QSignalSpy told(&linked.linker, &WidgetLinker::valueChanged);
    RegisterValue read;
    QCOMPARE(linkedChip.chip.core.readRegister(&linked.reg, &read, true), -1);
    QCOMPARE(told.count(), 0);
    linked.expectShown(25, 20.0);
}

void TestWidgetLinker::holdTimeThrottlesDeviceUpdates() {
    LinkedWidgets linked(false);
    linked.linker.setValueHoldTime(300);
    for (unsigned int value = 1; value <= 10; ++value)
        linked.fake.deviceChanges(&linked.reg, value);
    QCOMPARE(linked.spin.value(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(linked.spin.value(), 10, 10000);

    for (unsigned int value = 11; value <= 12; ++value)
        linked.fake.deviceChanges(&linked.reg, value);
    // An edit during the hold discards the value that waits. Its read-back is shown at once and
    // holds the next device update back until that hold ends; the discarded value never shows.
    QSignalSpy shown(&linked.linker, &WidgetLinker::metaValueChanged);
    linked.spin.setValue(42);
    QCOMPARE(linked.raw(), 42u);
    linked.fake.deviceChanges(&linked.reg, 13);
    QCOMPARE(linked.spin.value(), 42);
    QTRY_COMPARE_WITH_TIMEOUT(linked.spin.value(), 13, 10000);
    QCOMPARE(shown, QList<QVariantList>({{42}, {13}}));
}

void TestWidgetLinker::checkBoxUnattachedAndDestroyedWidgets() {
    FakeRegisterCommunication com;
    RegisterInfoStd reg(0x31, 8, 8, 0xFF);
    QSpinBox survivor;
    survivor.setRange(0, 5);
    survivor.setValue(3);
    {
        WidgetLinker linker;
        QCheckBox check;
        // Unattached: limits stay, edits reach the other widgets only.
        QVERIFY(linker.link(&survivor));
        QVERIFY(linker.link(&check, true));
        QCOMPARE(survivor.maximum(), 5);
        check.setChecked(true);
        QCOMPARE(survivor.value(), 0);

        linker.attach(&com, new RegisterLinkInfo(&reg, 0x04));
        QVERIFY(linker.link(&survivor)); // again: the limits now come from the field
        QCOMPARE(survivor.maximum(), 1);
        check.setChecked(false);
        QCOMPARE(com.registers.value(reg.key()), 0x04u);
        QVERIFY(linker.unlink(&check));
        QVERIFY(!linker.unlink(&check));

        auto* doomed = new ZyrDoubleSpinBox;
        auto* doomedSlider = new QSlider;
        linker.link(doomed);
        linker.link(doomedSlider);
        delete doomed;
        delete doomedSlider;
        // The device and the survivor still reach no dead widget.
        com.deviceChanges(&reg, 0);
        survivor.setValue(1);
        QCOMPARE(com.registers.value(reg.key()), 0x04u);
        QCOMPARE(com.observers.count(), 1);
    }
    QVERIFY(com.observers.isEmpty());
    const int writes = com.writes;
    com.deviceChanges(&reg, 3);
    survivor.setValue(0);
    QCOMPARE(com.writes, writes);
}

ZYR_TEST_CLASS(TestWidgetLinker)
#include "tst_widgetlinker.moc"
