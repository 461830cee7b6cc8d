#ifndef TESTS_LINKING_LINKINGTESTSUPPORT_H
#define TESTS_LINKING_LINKINGTESTSUPPORT_H

#include "Communication/iccomcore.h"
#include "Communication/icomobserver.h"
#include "Communication/iregistercommunication.h"
#include "Communication/iregisterinfo.h"
#include "Communication/registerinfostd.h"
#include "Communication/registervalue.h"
#include "controls/controlmanager.h"
#include "controls/izyrcontrol.h"
#include "widgetlinking/registerlinkinfo.h"
#include "widgetlinking/spinboxvaluemapper.h"
#include "widgetlinking/widgetlinker.h"

#include <QMap>
#include <QSpinBox>

#include <memory>

// Registers held in memory. Like the real communication it tells the observers of a register
// the value read back after each write, and can refuse writes or fail reads.
class FakeRegisterCommunication : public ZyrCore::Communication::IRegisterCommunication {
public:
    using Info = ZyrCore::Communication::IRegisterInfo;
    using Value = ZyrCore::Communication::IRegisterValue;

    QMap<QByteArray, unsigned int> registers;
    QList<ZyrCore::Communication::IComObserver*> observers;
    int writes = 0;
    bool refuseWrites = false;
    bool failReads = false;

    // Sets a register as the chip would, and reads it with notification.
    void deviceChanges(Info* info, unsigned int value) {
        registers[info->key()] = value;
        ZyrCore::Communication::RegisterValue read;
        readRegister(info, &read, true);
    }

    int readRegister(Info* info, Value* value, bool notify) override {
        if (failReads)
            return -1;
        value->setValue(registers.value(info->key()));
        if (notify)
            tell(info, value);
        return 0;
    }
    int readRegisterList(QList<Info*>*, QList<Value*>*, bool, bool) override { return -1; }
    int writeRegister(Info* info, Value* value) override {
        ++writes;
        if (refuseWrites)
            return -2;
        registers[info->key()] = value->value();
        ZyrCore::Communication::RegisterValue readBack(value->value(), 0);
        tell(info, &readBack);
        return 0;
    }
    int modifyRegister(Info* info, Value* value, Value* mask) override {
        ZyrCore::Communication::RegisterValue merged(
            (registers.value(info->key()) & ~mask->value()) | (value->value() & mask->value()), 0);
        return writeRegister(info, &merged);
    }
    void setRegisterSet(ZyrCore::Register::RegisterSet*) override {}
    ZyrCore::Register::RegisterSet* registerSet() override { return nullptr; }
    void setStream(ZyrCore::Communication::IComExecutor*) override {}
    ZyrCore::Communication::IComExecutor* stream() override { return nullptr; }
    void registerObserver(ZyrCore::Communication::IComObserver* observer) override {
        observers.append(observer);
    }
    void unregisterObserver(ZyrCore::Communication::IComObserver* observer) override {
        observers.removeAll(observer);
    }

private:
    void tell(Info* info, Value* value) {
        const auto all = observers;
        for (auto* observer : all) {
            for (Info* observed : observer->observedRegisters()) {
                if (observed->key() == info->key())
                    observer->onValueChanged(info, value);
            }
        }
    }
};

// A spin box bound to one register. With its own linker it shows the register when initialised;
// otherwise it names the control whose linker it joins.
class RegisterSpinBox : public QSpinBox, public ZyrGui::Controls::IZyrControl {
public:
    RegisterSpinBox(const QString& name, unsigned int address, const QString& linkedName,
                    QWidget* parent = nullptr)
        : QSpinBox(parent)
        , itsRegister(address, 8, 8, 0xFF)
        , itsLinkedName(linkedName) {
        setObjectName(name);
        if (linkedName.isEmpty())
            itsLinker = std::make_unique<ZyrGui::WidgetLinking::WidgetLinker>();
        ZyrGui::Controls::ControlManager::registerControl(this);
    }
    ~RegisterSpinBox() override { ZyrGui::Controls::ControlManager::unregisterControl(this); }

    int initializations = 0;
    int deinitializations = 0;

    QString linkedControlName() const override { return itsLinkedName; }
    bool keepsOwnValueRange() const override { return false; }
    void initialize(ZyrCore::Communication::IRegisterCommunication* com) override {
        ++initializations;
        if (!itsLinker)
            return;
        itsLinker->attach(com, new ZyrGui::WidgetLinking::RegisterLinkInfo(&itsRegister, 0xFF));
        itsLinker->link(static_cast<IZyrControl*>(this));
        ZyrCore::Communication::RegisterValue value;
        com->readRegister(&itsRegister, &value, true);
    }
    void deinitialize() override {
        ++deinitializations;
        if (itsLinker) {
            itsLinker->unlink(static_cast<IZyrControl*>(this));
            itsLinker->detach();
        }
    }
    ZyrGui::WidgetLinking::IValueMapper*
    createValueMapper(ZyrGui::WidgetLinking::WidgetLinker* widgetLinker) override {
        return new ZyrGui::WidgetLinking::SpinBoxValueMapper(this, widgetLinker);
    }
    ZyrGui::WidgetLinking::WidgetLinker* widgetLinker() override { return itsLinker.get(); }

private:
    ZyrCore::Communication::RegisterInfoStd itsRegister;
    QString itsLinkedName;
    std::unique_ptr<ZyrGui::WidgetLinking::WidgetLinker> itsLinker;
};

#endif // TESTS_LINKING_LINKINGTESTSUPPORT_H
