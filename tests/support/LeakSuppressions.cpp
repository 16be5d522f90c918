// Leak-checker suppressions for the sanitizer builds of the tests: fontconfig keeps parts of
// its configuration for the life of the process, which is not a leak of ours. The checker
// looks this function up by name; other builds never call it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
