// A shared library that loads but lacks the checksum functions, for the
// binding's missing-function path.
extern "C" __attribute__((visibility("default"))) int NotAChecksum() {
    return 1;
}
