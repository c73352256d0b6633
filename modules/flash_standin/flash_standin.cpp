// A STAND-IN for the private Flash module, for development and the desktop build only. It
// is not the Flash control and provides none: its two exports only report success, so
// that the program starts as it would with the real module next to it.
#include <cstdint>

// Per-process activation: reports success and makes nothing available.
extern "C" __attribute__((visibility("default"))) std::int32_t DllLocalRegister(std::int32_t) {
    return 1;
}

// System-wide registration: reports S_OK and writes nothing anywhere.
extern "C" __attribute__((visibility("default"))) std::int32_t DllRegisterServer(void) {
    return 0;
}
