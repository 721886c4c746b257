// The product's server start: nothing to choose, the server uses the system's devices.
#include "audmgr/ServerStart.h"

namespace vt::aud {

void ServerStart() {}

} // namespace vt::aud
