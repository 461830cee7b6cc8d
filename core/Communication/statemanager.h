#ifndef ZYRCORE_COMMUNICATION_STATEMANAGER_H
#define ZYRCORE_COMMUNICATION_STATEMANAGER_H

#include "zyrcore_global.h"

#include <QObject>
#include <QTimer>

namespace ZyrCore::Communication {

// A polled state machine: while active, a timer runs checkState() every interval (500 ms unless
// changed).
class ZYRCORE_EXPORT StateManager : public QObject {
    Q_OBJECT

public:
    static constexpr int defaultTimerInterval = 500;

    explicit StateManager(QObject* parent = nullptr);
    ~StateManager() override;

    virtual bool isActive();
    // Starts or stops the timer; returns lastState().
    virtual int setActive(bool active);
    virtual void setTimerInterval(int ms);
    virtual int checkState() = 0;
    virtual int lastState() = 0;

private slots:
    void onItsTimerTimeout();

private:
    QTimer itsTimer;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_STATEMANAGER_H
