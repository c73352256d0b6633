// The simulated engines' network proxy: recorded, and in force for every later load.
#include "sim/desktop.h"

namespace sim {

bool Desktop::SetProxy(const platform::ProxySettings& settings) {
    proxySettings.push_back(settings);
    proxy = settings;
    return true;
}

}  // namespace sim
