#include "Communication/nodestate.h"

namespace ZyrCore::Communication {

namespace {
constexpr int kOutOfBoundsIndex = 5;
} // namespace

const char* const NodeState::stateStrings[6] = {
    "unknown", "opening", "open", "closing", "closed", "invalid state (out of bounds)",
};

const char* NodeState::stateToString(int state) {
    if (state < 0 || state > kOutOfBoundsIndex)
        state = kOutOfBoundsIndex;
    return stateStrings[state];
}

} // namespace ZyrCore::Communication
