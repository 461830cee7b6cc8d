#ifndef ZYRCORE_COMMUNICATION_NODESTATE_H
#define ZYRCORE_COMMUNICATION_NODESTATE_H

#include "zyrcore_global.h"

namespace ZyrCore::Communication {

// The states of a supervised communication node. They travel as plain ints; a node-state
// manager itself produces only Unknown, Open and Closed.
class ZYRCORE_EXPORT NodeState {
public:
    enum State {
        Unknown = 0,
        Opening = 1,
        Open = 2,
        Closing = 3,
        Closed = 4,
    };

    NodeState() = delete;

    // The state's text; any value outside the table gives the out-of-bounds text.
    static const char* stateToString(int state);

    // Indexed by state; the last entry stands for every value out of bounds.
    static const char* const stateStrings[6];
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_NODESTATE_H
