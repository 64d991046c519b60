#include "preferences.h"

namespace mv {

Preferences& preferences()
{
    static Preferences instance;
    return instance;
}

ProgramState& program_state()
{
    static ProgramState instance;
    return instance;
}

} // namespace mv
