#include "widgetlinking/widgetlinker.h"

#include "Communication/iregistercommunication.h"
#include "Communication/iregisterinfo.h"
#include "Communication/iregistervalue.h"
#include "Tools/zyrassert.h"
#include "controls/izyrcontrol.h"
#include "widgetlinking/checkboxvaluemapper.h"
#include "widgetlinking/comboboxvaluemapper.h"
#include "widgetlinking/doublespinboxvaluemapper.h"
#include "widgetlinking/ilinkinfo.h"
#include "widgetlinking/slidervaluemapper.h"
#include "widgetlinking/spinboxvaluemapper.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>

#include <memory>

using ZyrCore::Communication::IRegisterCommunication;
using ZyrCore::Communication::IRegisterInfo;
using ZyrCore::Communication::IRegisterValue;
using ZyrGui::Controls::IZyrControl;

namespace ZyrGui::WidgetLinking {

namespace {
const char* const kSource = "widgetlinking/widgetlinker";

// A register-bound control that keeps its own limits is left alone by range changes.
bool keepsOwnValueRange(QWidget* widget) {
    auto* control = dynamic_cast<IZyrControl*>(widget);
    return control != nullptr && control->keepsOwnValueRange();
}
} // namespace

WidgetLinker::WidgetLinker()
    : QObject(nullptr) {
    connect(&itsValueRanges, SIGNAL(valueRangeChanged()), this, SLOT(onValueRangesChanged()));
}

WidgetLinker::~WidgetLinker() {
    detach();
    const QList<QObject*> widgets = itsMappers.keys();
    for (QObject* widget : widgets)
        disconnect(widget, &QObject::destroyed, this, &WidgetLinker::onWidgetDestroyed);
    qDeleteAll(itsMappers);
    itsMappers.clear();
}

void WidgetLinker::attach(IRegisterCommunication* com, ILinkInfo* linkInfo) {
    ZYR_ASSERT_NOT_NULL(kSource, com);
    ZYR_ASSERT_NOT_NULL(kSource, linkInfo);
    detach();
    itsCom = com;
    itsLinkInfo = linkInfo;
    itsCom->registerObserver(this);
}

void WidgetLinker::detach() {
    if (!isAttached())
        return;
    itsCom->unregisterObserver(this);
    itsCom = nullptr;
    delete itsLinkInfo;
    itsLinkInfo = nullptr;
    itsHasDeviceValue = false;
}

bool WidgetLinker::isAttached() const {
    return itsCom != nullptr && itsLinkInfo != nullptr;
}

ValueRangeCollection* WidgetLinker::valueRanges() {
    return &itsValueRanges;
}

ILinkInfo* WidgetLinker::linkInfo() const {
    return itsLinkInfo;
}

void WidgetLinker::setValueHoldTime(int ms) {
    if (ms < 1) {
        delete itsHoldTimer;
        itsHoldTimer = nullptr;
        return;
    }
    if (itsHoldTimer == nullptr) {
        itsHoldTimer = new QTimer(this);
        itsHoldTimer->setSingleShot(true);
        connect(itsHoldTimer, &QTimer::timeout, this, &WidgetLinker::onValueHoldTimer_timeout);
    }
    itsHoldTimer->setInterval(ms);
}

int WidgetLinker::valueHoldTime() const {
    return itsHoldTimer != nullptr ? itsHoldTimer->interval() : 0;
}

bool WidgetLinker::isLinked(QWidget* widget) const {
    ZYR_ASSERT_NOT_NULL(kSource, widget);
    return itsMappers.contains(widget);
}

IValueMapper* WidgetLinker::mapper(QWidget* widget) const {
    ZYR_ASSERT_NOT_NULL(kSource, widget);
    return itsMappers.value(widget, nullptr);
}

bool WidgetLinker::link(ZyrDoubleSpinBox* widget) {
    ZYR_ASSERT_NOT_NULL(kSource, widget);
    unlink(widget);
    return store(widget, new DoubleSpinBoxValueMapper(widget, this), true);
}

bool WidgetLinker::link(QComboBox* widget) {
    ZYR_ASSERT_NOT_NULL(kSource, widget);
    unlink(widget);
    return store(widget, new ComboBoxValueMapper(widget, this), true);
}

bool WidgetLinker::link(QSpinBox* widget) {
    ZYR_ASSERT_NOT_NULL(kSource, widget);
    unlink(widget);
    return store(widget, new SpinBoxValueMapper(widget, this), true);
}

bool WidgetLinker::link(QSlider* widget) {
    ZYR_ASSERT_NOT_NULL(kSource, widget);
    unlink(widget);
    return store(widget, new SliderValueMapper(widget, this), true);
}

bool WidgetLinker::link(QCheckBox* widget, bool inverted) {
    ZYR_ASSERT_NOT_NULL(kSource, widget);
    unlink(widget);
    return store(widget, new CheckBoxValueMapper(widget, this, inverted), true);
}

bool WidgetLinker::link(IZyrControl* control) {
    ZYR_ASSERT_NOT_NULL(kSource, control);
    auto* widget = dynamic_cast<QWidget*>(control);
    if (widget == nullptr)
        return false;
    unlink(widget);
    IValueMapper* controlMapper = control->createValueMapper(this);
    if (controlMapper == nullptr)
        return false;
    return store(widget, controlMapper, !control->keepsOwnValueRange());
}

bool WidgetLinker::store(QWidget* widget, IValueMapper* mapper, bool updateRanges) {
    itsMappers.insert(widget, mapper);
    connect(widget, &QObject::destroyed, this, &WidgetLinker::onWidgetDestroyed);
    if (updateRanges)
        mapper->updateValueRanges();
    // A widget joining late shows what the others show.
    if (itsHasDeviceValue)
        mapper->setValue(itsDeviceValue);
    return true;
}

bool WidgetLinker::unlink(QWidget* widget) {
    ZYR_ASSERT_NOT_NULL(kSource, widget);
    IValueMapper* linked = itsMappers.take(widget);
    if (linked == nullptr)
        return false;
    disconnect(widget, &QObject::destroyed, this, &WidgetLinker::onWidgetDestroyed);
    delete linked;
    return true;
}

bool WidgetLinker::unlink(ZyrDoubleSpinBox* widget) {
    ZYR_ASSERT_NOT_NULL(kSource, widget);
    return unlink(static_cast<QWidget*>(widget));
}

bool WidgetLinker::unlink(QComboBox* widget) {
    ZYR_ASSERT_NOT_NULL(kSource, widget);
    return unlink(static_cast<QWidget*>(widget));
}

bool WidgetLinker::unlink(QSpinBox* widget) {
    ZYR_ASSERT_NOT_NULL(kSource, widget);
    return unlink(static_cast<QWidget*>(widget));
}

bool WidgetLinker::unlink(QSlider* widget) {
    ZYR_ASSERT_NOT_NULL(kSource, widget);
    return unlink(static_cast<QWidget*>(widget));
}

bool WidgetLinker::unlink(QCheckBox* widget) {
    ZYR_ASSERT_NOT_NULL(kSource, widget);
    return unlink(static_cast<QWidget*>(widget));
}

bool WidgetLinker::unlink(IZyrControl* control) {
    ZYR_ASSERT_NOT_NULL(kSource, control);
    auto* widget = dynamic_cast<QWidget*>(control);
    return widget != nullptr && unlink(widget);
}

void WidgetLinker::onWidgetDestroyed(QObject* widget) {
    // The widget is half gone: its mapper must not touch it, and nothing may reach it later.
    delete itsMappers.take(widget);
}

void WidgetLinker::setValue(int value, bool fromWidget, IValueMapper* source) {
    if (itsHoldTimer != nullptr && source == nullptr) {
        // Within a hold only the last value waits; the first of a burst is shown at once.
        itsPendingValue = value;
        if (itsHoldTimer->isActive())
            return;
        itsHoldTimer->start();
    } else {
        // An edit ends the hold and discards the value that waits.
        if (itsHoldTimer != nullptr)
            itsHoldTimer->stop();
        itsPendingValue = -1;
    }
    apply(value, fromWidget, source);
}

void WidgetLinker::onValueHoldTimer_timeout() {
    if (itsPendingValue != -1)
        apply(itsPendingValue, false, nullptr);
}

void WidgetLinker::apply(int value, bool fromWidget, IValueMapper* source) {
    const QMap<QObject*, IValueMapper*> mappers = itsMappers;
    for (auto it = mappers.cbegin(); it != mappers.cend(); ++it) {
        // A mapper unlinked meanwhile is gone.
        if (it.value() != source && itsMappers.value(it.key()) == it.value())
            it.value()->setValue(value);
    }
    if (!fromWidget)
        emit metaValueChanged(value);
    else if (isAttached() && itsLinkInfo->writeValue(itsCom, value) != 0)
        showDeviceValue();
}

void WidgetLinker::showDeviceValue() {
    bool reread = true;
    const QList<IRegisterInfo*> registers = itsLinkInfo->observedRegisters();
    for (IRegisterInfo* info : registers) {
        std::unique_ptr<IRegisterValue> value(info->createValue());
        // A successful read tells the observers, this linker among them.
        reread = itsCom->readRegister(info, value.get(), true) == 0 && reread;
    }
    if (!reread && itsHasDeviceValue)
        apply(itsDeviceValue, false, nullptr);
}

bool WidgetLinker::tryGetDeviceValue(int& value) const {
    if (!itsHasDeviceValue)
        return false;
    value = itsDeviceValue;
    return true;
}

bool WidgetLinker::observesSelectedRegisters() {
    return true;
}

QList<IRegisterInfo*> WidgetLinker::observedRegisters() {
    return itsLinkInfo != nullptr ? itsLinkInfo->observedRegisters() : QList<IRegisterInfo*>();
}

void WidgetLinker::onValueChanged(IRegisterInfo* regInfo, IRegisterValue* value) {
    ZYR_ASSERT_NOT_NULL(kSource, regInfo);
    ZYR_ASSERT_NOT_NULL(kSource, value);
    int result = 0;
    if (itsLinkInfo != nullptr && itsLinkInfo->valueFromRegister(value, result)) {
        itsDeviceValue = result;
        itsHasDeviceValue = true;
        setValue(result, false, nullptr);
    }
    emit valueChanged(regInfo, value);
}

void WidgetLinker::onRegisterSetChanged(ZyrCore::Register::RegisterSet*) {}

QString WidgetLinker::name() {
    return QStringLiteral("WidgetLinker");
}

void WidgetLinker::onValueRangesChanged() {
    const QList<IValueMapper*> mappers = itsMappers.values();
    for (IValueMapper* each : mappers) {
        if (!keepsOwnValueRange(each->widget()))
            each->updateValueRanges();
    }
}

} // namespace ZyrGui::WidgetLinking
