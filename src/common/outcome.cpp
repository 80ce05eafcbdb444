#include "common/outcome.h"

#include "common/messages.h"

namespace vordane {

Outcome Outcome::outOfMemory()
{
    return failure(messages::kOutOfMemory);
}

} // namespace vordane
