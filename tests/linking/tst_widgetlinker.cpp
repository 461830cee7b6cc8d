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

#include <algorithm>

using ZyrCore::Communication::IcComCore;
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
// One register shown in four widgets. Indexes 5-14 are raw 0x20-0x29 (values 1..10), indexes
// 25-34 raw 0x40-0x49 (values 20..29); combo-box rows count from index 5.
struct LinkedWidgets {
    FakeRegisterCommunication com;
    RegisterInfoStd reg{0x30, 8, 8, 0xFF};
    QSpinBox spin;
    QComboBox combo;
    QSlider slider;
    ZyrDoubleSpinBox doubleSpin;
    WidgetLinker linker;

    explicit LinkedWidgets(bool withRanges = true) {
        doubleSpin.setRange(-1000, 1000);
        linker.attach(&com, new RegisterLinkInfo(&reg, 0xFF));
        if (withRanges) {
            linker.valueRanges()->addValueRange(new ValueRange(5, 10, 0x20, 1, 1.0, 1.0));
            linker.valueRanges()->addValueRange(new ValueRange(25, 10, 0x40, 1, 20.0, 1.0));
        }
        linker.link(&spin);
        linker.link(&combo);
        linker.link(&slider);
        linker.link(&doubleSpin);
    }
    void expectShown(int index, double value) {
        QCOMPARE(spin.value(), index);
        QCOMPARE(combo.currentIndex(), index - 5);
        QCOMPARE(slider.value(), index);
        QCOMPARE(doubleSpin.value(), value);
    }
    DoubleSpinBoxValueMapper* doubleMapper() {
        return dynamic_cast<DoubleSpinBoxValueMapper*>(linker.mapper(&doubleSpin));
    }
};

// Every widget kind linked to the simulated board's identification register, which the chip keeps
// fixed: each write is refused. With ranges, indexes 0-9 are raw 0x80-0x89 (values 1..10) and
// indexes 20-29 raw 0x8A-0x93 (values 20..29), so the register's 0x8E is index 24, value 24; a
// check box takes no ranges and joins the linker without them.
struct BoardLinkedWidgets {
    explicit BoardLinkedWidgets(bool withRanges)
        : withRanges(withRanges)
        , core(&rig.stream, &provider) {
        provider.setConfiguration(SimulatedRegisterFile::defaultSlaveAddress);
        core.open();
        doubleSpin.setRange(-1000, 1000);
        linker.attach(&core, new RegisterLinkInfo(&reg, 0xFF));
        if (withRanges) {
            linker.valueRanges()->addValueRange(new ValueRange(0, 10, 0x80, 1, 1.0, 1.0));
            linker.valueRanges()->addValueRange(new ValueRange(20, 10, 0x8A, 1, 20.0, 1.0));
            linker.link(&combo);
        } else {
            linker.link(&check, false);
        }
        linker.link(&spin);
        linker.link(&slider);
        linker.link(&doubleSpin);
        RegisterValue value;
        core.readRegister(&reg, &value, true);
    }
    int writes() const {
        return int(
            std::count_if(rig.requests.cbegin(), rig.requests.cend(), [](const auto& request) {
                return request.protocol == I2cModifyRegisterComObject::modifyProtocol;
            }));
    }
    void expectShownEverywhere() {
        const int index = withRanges ? 24 : SimulatedRegisterFile::identificationValue;
        QCOMPARE(spin.value(), index);
        QCOMPARE(slider.value(), index);
        QCOMPARE(doubleSpin.value(), withRanges ? 24.0 : double(index));
        if (withRanges)
            QCOMPARE(combo.currentIndex(), index);
        else
            QCOMPARE(check.checkState(), Qt::PartiallyChecked);
    }

    const bool withRanges;
    BoardRig rig;
    I2cComObjectProvider provider;
    IcComCore core;
    RegisterInfoStd reg{SimulatedRegisterFile::identificationRegister, 8, 8, 0xFF};
    QSpinBox spin;
    QComboBox combo;
    QSlider slider;
    ZyrDoubleSpinBox doubleSpin;
    QCheckBox check;
    WidgetLinker linker;
};
} // namespace

class TestWidgetLinker : public QObject {
    Q_OBJECT

private slots:
    void editReachesDeviceAndEveryWidget_data();
    void editReachesDeviceAndEveryWidget();
    void doubleSpinBoxStepsAcrossGaps_data();
    void doubleSpinBoxStepsAcrossGaps();
    void heldArrowRepeatsOnceAndStopsWhenHidden();
    void sliderPreviewsThenCommits();
    void refusedEditShowsTheBoardValueEverywhere_data();
    void refusedEditShowsTheBoardValueEverywhere();
    void refusedWriteWithFailingReadsShowsTheLastValue();
    void holdTimeThrottlesDeviceUpdates();
    void checkBoxAndUnattachedLinker();
    void destroyedWidgetsAndLinkerLeaveNothingBehind();
};

void TestWidgetLinker::editReachesDeviceAndEveryWidget_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<double>("input");
    QTest::addColumn<int>("writes");
    QTest::addColumn<unsigned int>("raw");
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("value");
    QTest::newRow("spin box") << "spin" << 8.0 << 1 << 0x23u << 8 << 4.0;
    QTest::newRow("combo box row 0 is the lowest index")
        << "combo" << 0.0 << 1 << 0x20u << 5 << 1.0;
    QTest::newRow("combo box, second range") << "combo" << 22.0 << 1 << 0x42u << 27 << 22.0;
    QTest::newRow("typed value snaps to the nearer grid point")
        << "double" << 15.6 << 1 << 0x40u << 25 << 20.0;
    QTest::newRow("device value is shown, not written")
        << "device" << double(0x45) << 0 << 0x45u << 30 << 25.0;
}

void TestWidgetLinker::editReachesDeviceAndEveryWidget() {
    QFETCH(QString, source);
    QFETCH(double, input);
    QFETCH(int, writes);
    QFETCH(unsigned int, raw);
    QFETCH(int, index);
    QFETCH(double, value);

    LinkedWidgets linked;
    QSignalSpy metaValues(&linked.linker, &WidgetLinker::metaValueChanged);
    if (source == QLatin1String("spin"))
        linked.spin.setValue(int(input));
    else if (source == QLatin1String("combo"))
        linked.combo.setCurrentIndex(int(input));
    else if (source == QLatin1String("double"))
        linked.doubleSpin.setValue(input);
    else
        linked.com.deviceChanges(&linked.reg, unsigned(input));

    QCOMPARE(linked.com.writes, writes);
    QCOMPARE(linked.com.registers.value(linked.reg.key()), raw);
    linked.expectShown(index, value);
    // Every value that came from the device (the read-back included) is announced.
    QCOMPARE(metaValues.count(), 1);
    QCOMPARE(metaValues.at(0).at(0).toInt(), int(raw));
}

void TestWidgetLinker::doubleSpinBoxStepsAcrossGaps_data() {
    QTest::addColumn<unsigned int>("startRaw");
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("index");
    QTest::newRow("up across the gap") << 0x29u << 1 << 25;
    QTest::newRow("down across the gap") << 0x40u << -1 << 14;
    QTest::newRow("past the top stays") << 0x49u << 1 << 34;
    QTest::newRow("past the bottom stays") << 0x20u << -3 << 5;
    QTest::newRow("within a range") << 0x21u << 3 << 9;
}

void TestWidgetLinker::doubleSpinBoxStepsAcrossGaps() {
    QFETCH(unsigned int, startRaw);
    QFETCH(int, delta);
    QFETCH(int, index);

    LinkedWidgets linked;
    linked.com.deviceChanges(&linked.reg, startRaw);
    linked.doubleMapper()->increaseIndexBy(delta);
    QCOMPARE(linked.spin.value(), index);
    unsigned int raw = 0;
    QVERIFY(linked.linker.valueRanges()->rawFromIndex(index, raw));
    QCOMPARE(linked.com.registers.value(linked.reg.key()), raw);
}

void TestWidgetLinker::heldArrowRepeatsOnceAndStopsWhenHidden() {
    LinkedWidgets linked;
    linked.com.deviceChanges(&linked.reg, 0x20);
    linked.doubleSpin.show();
    emit linked.doubleSpin.spinBoxButtonPressed(ZyrDoubleSpinBox::UpButton);
    emit linked.doubleSpin.spinBoxButtonPressed(ZyrDoubleSpinBox::UpButton);
    QCOMPARE(linked.com.writes, 2);
    // Two presses still step once per repeat.
    QTRY_VERIFY(linked.com.writes >= 3);
    linked.doubleSpin.hide();
    QCOMPARE(linked.com.writes, 3);
    QTest::qWait(500);
    QCOMPARE(linked.com.writes, 3);
    QCOMPARE(linked.spin.value(), 8);
}

void TestWidgetLinker::sliderPreviewsThenCommits() {
    LinkedWidgets linked;
    QSignalSpy metaValues(&linked.linker, &WidgetLinker::metaValueChanged);
    linked.slider.setValue(28);
    // The preview shows at once without writing; the commit follows the pause.
    QCOMPARE(linked.com.writes, 0);
    QCOMPARE(linked.spin.value(), 28);
    QCOMPARE(metaValues.count(), 1);
    QTRY_COMPARE(linked.com.writes, 1);
    QCOMPARE(linked.com.registers.value(linked.reg.key()), 0x43u);
}

void TestWidgetLinker::refusedEditShowsTheBoardValueEverywhere_data() {
    QTest::addColumn<bool>("withRanges");
    QTest::addColumn<QString>("edit");
    for (const bool withRanges : {true, false}) {
        QStringList edits{"spin box", "slider", "typed value", "key up"};
        edits << (withRanges ? QStringList{"combo box", "arrow"} : QStringList{"check box"});
        for (const QString& edit : edits) {
            QTest::addRow("%s, %s", withRanges ? "ranges" : "raw", qPrintable(edit))
                << withRanges << edit;
        }
    }
}

void TestWidgetLinker::refusedEditShowsTheBoardValueEverywhere() {
    QFETCH(bool, withRanges);
    QFETCH(QString, edit);

    BoardLinkedWidgets linked(withRanges);
    linked.expectShownEverywhere();
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
        emit linked.doubleSpin.spinBoxButtonPressed(ZyrDoubleSpinBox::UpButton);
        emit linked.doubleSpin.spinBoxButtonReleased();
    }
    // A slider commits after a pause; every other edit is written at once.
    QTRY_COMPARE_WITH_TIMEOUT(linked.writes(), 1, 10000);
    linked.expectShownEverywhere();
}

void TestWidgetLinker::refusedWriteWithFailingReadsShowsTheLastValue() {
    LinkedWidgets linked;
    linked.com.deviceChanges(&linked.reg, 0x23);
    linked.com.refuseWrites = true;
    linked.com.failReads = true;
    linked.spin.setValue(30);
    QCOMPARE(linked.com.writes, 1);
    linked.expectShown(8, 4.0);
}

void TestWidgetLinker::holdTimeThrottlesDeviceUpdates() {
    LinkedWidgets linked(false);
    linked.linker.setValueHoldTime(300);
    for (unsigned int value = 1; value <= 10; ++value)
        linked.com.deviceChanges(&linked.reg, value);
    QCOMPARE(linked.spin.value(), 1);
    QTRY_COMPARE(linked.spin.value(), 10);

    for (unsigned int value = 11; value <= 12; ++value)
        linked.com.deviceChanges(&linked.reg, value);
    // An edit during the hold discards the value that waits.
    linked.spin.setValue(42);
    QTest::qWait(500);
    QCOMPARE(linked.spin.value(), 42);
    QCOMPARE(linked.com.registers.value(linked.reg.key()), 42u);
}

void TestWidgetLinker::checkBoxAndUnattachedLinker() {
    FakeRegisterCommunication com;
    RegisterInfoStd reg(0x31, 8, 8, 0xFF);
    WidgetLinker linker;
    QSpinBox spin;
    spin.setRange(0, 5);
    spin.setValue(3);
    QCheckBox check;
    // Unattached: limits stay, edits reach the other widgets only.
    QVERIFY(linker.link(&spin));
    QVERIFY(linker.link(&check, true));
    QCOMPARE(spin.maximum(), 5);
    check.setChecked(true);
    QCOMPARE(spin.value(), 0);

    linker.attach(&com, new RegisterLinkInfo(&reg, 0x04));
    QVERIFY(linker.link(&spin)); // again: the limits now come from the field
    QCOMPARE(spin.maximum(), 1);
    check.setChecked(false);
    QCOMPARE(com.registers.value(reg.key()), 0x04u);
    QVERIFY(linker.unlink(&check));
    QVERIFY(!linker.unlink(&check));
}

void TestWidgetLinker::destroyedWidgetsAndLinkerLeaveNothingBehind() {
    FakeRegisterCommunication com;
    RegisterInfoStd reg(0x32, 8, 8, 0xFF);
    QSpinBox survivor;
    {
        WidgetLinker linker;
        linker.attach(&com, new RegisterLinkInfo(&reg, 0xFF));
        auto* doomed = new ZyrDoubleSpinBox;
        auto* doomedSlider = new QSlider;
        linker.link(doomed);
        linker.link(doomedSlider);
        linker.link(&survivor);
        delete doomed;
        delete doomedSlider;
        // The device and the survivor still reach no dead widget.
        com.deviceChanges(&reg, 7);
        survivor.setValue(9);
        QCOMPARE(com.registers.value(reg.key()), 9u);
        QCOMPARE(com.observers.count(), 1);
    }
    QVERIFY(com.observers.isEmpty());
    com.deviceChanges(&reg, 3);
    survivor.setValue(4);
    QCOMPARE(com.writes, 1);
}

ZYR_TEST_CLASS(TestWidgetLinker)
#include "tst_widgetlinker.moc"
