#ifndef ZYRGUI_WIDGETLINKING_WIDGETLINKER_H
#define ZYRGUI_WIDGETLINKING_WIDGETLINKER_H

#include "Communication/icomobserver.h"
#include "widgetlinking/valuerangecollection.h"

#include <QMap>
#include <QObject>

class QCheckBox;
class QComboBox;
class QSlider;
class QSpinBox;
class QTimer;
class QWidget;

namespace ZyrCore::Communication {
class IRegisterCommunication;
}

namespace ZyrGui {
class ZyrDoubleSpinBox;
}

namespace ZyrGui::Controls {
class IZyrControl;
}

namespace ZyrGui::WidgetLinking {

class ILinkInfo;
class IValueMapper;

// Keeps any number of widgets in step with one register value: register reads and writes are
// shown in every linked widget, and a user edit in one widget is shown in the others and written
// to the device. An optional hold time lets device updates reach the widgets at most once per
// interval, plus once with the latest value at its end.
//
// The linker owns its link description and its mappers; destroying it detaches it. A linked
// widget that is destroyed is unlinked.
class WidgetLinker : public QObject, public ZyrCore::Communication::IComObserver {
    Q_OBJECT

public:
    WidgetLinker();
    WidgetLinker(const WidgetLinker&) = delete;
    WidgetLinker& operator=(const WidgetLinker&) = delete;
    ~WidgetLinker() override;

    // Takes linkInfo and observes com's values of its registers.
    void attach(ZyrCore::Communication::IRegisterCommunication* com, ILinkInfo* linkInfo);
    // Stops observing and deletes the link description; nothing when not attached.
    void detach();
    bool isAttached() const;

    ValueRangeCollection* valueRanges();
    ILinkInfo* linkInfo() const;

    // ms < 1 removes the hold.
    void setValueHoldTime(int ms);
    int valueHoldTime() const;

    bool isLinked(QWidget* widget) const;
    // The widget's mapper, or null when it is not linked.
    IValueMapper* mapper(QWidget* widget) const;

    // Each replaces an earlier link of the same widget; the new mapper shows the last device value.
    bool link(ZyrDoubleSpinBox* widget);
    bool link(QComboBox* widget);
    bool link(QSpinBox* widget);
    bool link(QSlider* widget);
    bool link(QCheckBox* widget, bool inverted);
    // False for a control that is not a widget.
    bool link(ZyrGui::Controls::IZyrControl* control);

    // Whether the widget was linked.
    bool unlink(QWidget* widget);
    bool unlink(ZyrDoubleSpinBox* widget);
    bool unlink(QComboBox* widget);
    bool unlink(QSpinBox* widget);
    bool unlink(QSlider* widget);
    bool unlink(QCheckBox* widget);
    bool unlink(ZyrGui::Controls::IZyrControl* control);

    // The entry of every value change: widget edits come with their mapper as source and
    // fromWidget true (false for a preview that must not reach the device); device updates come
    // with no source.
    void setValue(int value, bool fromWidget, IValueMapper* source);

    // The last value the device delivered; false before the first.
    bool tryGetDeviceValue(int& value) const;

    bool observesSelectedRegisters() override;
    QList<ZyrCore::Communication::IRegisterInfo*> observedRegisters() override;
    void onValueChanged(ZyrCore::Communication::IRegisterInfo* regInfo,
                        ZyrCore::Communication::IRegisterValue* value) override;
    void onRegisterSetChanged(ZyrCore::Register::RegisterSet* registerSet) override;
    QString name() override;

signals:
    void valueChanged(ZyrCore::Communication::IRegisterInfo* regInfo,
                      ZyrCore::Communication::IRegisterValue* value);
    void metaValueChanged(int metaValue);

private slots:
    void onValueRangesChanged();
    void onValueHoldTimer_timeout();
    void onWidgetDestroyed(QObject* widget);

private:
    bool store(QWidget* widget, IValueMapper* mapper, bool updateRanges);
    void apply(int value, bool fromWidget, IValueMapper* source);
    // After a refused write: shows what the device holds again.
    void showDeviceValue();

    ILinkInfo* itsLinkInfo = nullptr;
    ZyrCore::Communication::IRegisterCommunication* itsCom = nullptr;
    ValueRangeCollection itsValueRanges;
    QMap<QObject*, IValueMapper*> itsMappers;
    QTimer* itsHoldTimer = nullptr;
    int itsPendingValue = -1;
    int itsDeviceValue = 0;
    bool itsHasDeviceValue = false;
};

} // namespace ZyrGui::WidgetLinking

#endif // ZYRGUI_WIDGETLINKING_WIDGETLINKER_H
