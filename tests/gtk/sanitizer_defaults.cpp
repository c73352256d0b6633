// Leaks the leak checker is not to report in the desktop tests: font lookup keeps its
// caches for the life of the process, and so do the engine's libraries for their
// process-wide state; none of them frees it at a point a program can reach. Read by the
// sanitizer runtime only when the tests are built with it.
extern "C" const char* __lsan_default_suppressions();

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libjavascriptcoregtk-4.1.so\n"
           "leak:libwebkit2gtk-4.1.so\n";
}
