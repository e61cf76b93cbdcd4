// A plug-in library for the library transport's tests: one exported function.
extern "C" __attribute__((visibility("default"))) int nvrp_transport_plugin_answer(int aValue) {
  return aValue * 2 + 1;
}
