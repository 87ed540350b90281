#include "downloads/CancelFlag.h"

namespace {

// Constant-initialised: safe to reach before main() and from a signal handler.
constinit CancelFlag programFlag;

}  // namespace

CancelFlag& downloadCancel()
{
    return programFlag;
}
