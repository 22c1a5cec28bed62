// Qt 5.15's offscreen platform never frees the screen objects it creates at start-up, so LeakSanitizer
// would fail every test program that builds a QApplication. Only allocations made inside that plugin are
// ignored; full stacks are needed for LeakSanitizer to see the plugin in them. Weak, so a shared
// definition in the test support library takes precedence.

extern "C" __attribute__((weak)) const char* __lsan_default_suppressions()
{
    return "leak:libqoffscreen.so\n";
}

extern "C" __attribute__((weak)) const char* __asan_default_options()
{
    return "fast_unwind_on_malloc=0";
}
