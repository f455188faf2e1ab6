// A plugin for the command tests: its procedures leave a mark in the environment. Built once
// with the exports and once without.
#include <cstdlib>

#ifdef WITH_EXPORTS
extern "C" void Startplugin() { setenv("VELK_TEST_PLUGIN", "started", 1); }
extern "C" void Configureplugin() { setenv("VELK_TEST_PLUGIN", "configured", 1); }
#else
extern "C" void SomethingElse() {}
#endif
