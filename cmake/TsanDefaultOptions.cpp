// Linked into every program of a ThreadSanitizer build, so that a test binary (or gambitron started by one)
// run by hand behaves as under ./test. Qt is not instrumented: its own threads hand work over through futexes
// ThreadSanitizer cannot see, which shows up as races inside Qt. Ignoring the accesses of uninstrumented
// modules removes those, yet keeps every access our code makes, also when Qt's event dispatch calls it (a
// suppression naming Qt's libraries would hide those too). TSAN_OPTIONS from the environment add to this.
extern "C" const char* __tsan_default_options() {
    return "ignore_noninstrumented_modules=1";
}
