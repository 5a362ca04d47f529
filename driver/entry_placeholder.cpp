// Placeholder until the module entry lands.
extern "C" void drelan() {}
