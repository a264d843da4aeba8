// A shared library without the companion library's entry points.
extern "C" int korvelNotTheCompanion() {
    return 0;
}
