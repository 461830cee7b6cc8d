// One supervision round of the interface-board stack over the simulated evaluation board with
// timing off: the firmware-number checks of both streams and the chip's identification read,
// the work the stack's managers do every 500 ms on the GUI thread.

#include "Communication/I2c/i2cconfigcomobject.h"
#include "Communication/nodestate.h"
#include "Communication/nodestatemanager.h"
#include "boardids.h"
#include "raspi/raspistreamcommunicationstack.h"
#include "simulatedevaluationboard.h"

#include <QCoreApplication>
#include <QStringList>

#include "benchmarkrun.h"

#include <benchmark/benchmark.h>

using ZyrCore::Communication::NodeState;
using ZyrCore::Communication::NodeStateManager;
using ZyrRasPi::RasPiStreamCommunicationStack;

namespace {

void runRounds(benchmark::State& state, const QStringList& nodeNames) {
    ZyrSim::SimulatedEvaluationBoard board;
    ZyrCore::Communication::I2c::I2cConfigComObject configObject(2, 2, 0, 0x8000000);
    RasPiStreamCommunicationStack stack;
    stack.initialize(ZyrHid::BoardIds::productId,
                     ZyrSim::SimulatedRegisterFile::defaultSlaveAddress, &configObject, nullptr);
    stack.setIcIdentification(ZyrSim::SimulatedRegisterFile::identificationRegister,
                              ZyrSim::SimulatedRegisterFile::identificationValue);
    stack.setActive(true);

    QList<NodeStateManager*> managers;
    for (const QString& name : nodeNames) {
        NodeStateManager* manager = nullptr;
        if (!stack.tryGetStateManager(name, &manager) || manager->lastState() != NodeState::Open) {
            state.SkipWithError("the stack does not come up over the simulated board");
            return;
        }
        managers.append(manager);
    }

    for (auto _ : state) {
        for (NodeStateManager* manager : managers) {
            if (manager->checkState() != NodeState::Open) {
                state.SkipWithError("a check failed");
                return;
            }
        }
    }
}

// The three checks that talk to the board.
void BM_SupervisionRoundChecks(benchmark::State& state) {
    runRounds(state, {"CONTROL_STREAM", "MODULE_STREAM", "IcComCore"});
}
BENCHMARK(BM_SupervisionRoundChecks)->Unit(benchmark::kMicrosecond);

// Every manager's tick, the three checks with the three open-only nodes.
void BM_SupervisionRoundAllNodes(benchmark::State& state) {
    runRounds(state, {"CONTROL_HID", "CONTROL_STREAM", "MODULE_HID", "MODULE_STREAM", "IcComCore",
                      "SerialComDriver"});
}
BENCHMARK(BM_SupervisionRoundAllNodes)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    // The managers' timers need an application object; their ticks never run here.
    QCoreApplication application(argc, argv);
    return runBenchmarks(argc, argv);
}
