// A stand-in module without the module's entries: the runner must refuse to load it.
extern "C" int not_the_entry() { return 0; }
