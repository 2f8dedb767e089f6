// A stand-in plugin module for the module lookup tests.
extern "C" __attribute__((visibility("default"))) int ProbeValue() {
    return 42;
}
