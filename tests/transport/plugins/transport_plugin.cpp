// A plug-in library for the library transport's tests: one exported function.
#if defined(_WIN32)
#define NVRP_TRANSPORT_PLUGIN_EXPORT extern "C" __declspec(dllexport)
#else
#define NVRP_TRANSPORT_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

NVRP_TRANSPORT_PLUGIN_EXPORT int nvrp_transport_plugin_answer(int aValue) { return aValue * 2 + 1; }
