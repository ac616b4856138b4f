// The environment of the sound tests.
#include <cstdlib>

// Tests never need a sound card: unless the environment already chose an
// OpenAL backend, the system device is the null output. OpenAL reads the
// setting when it is first used, after static construction.
namespace {
const bool null_output_chosen = setenv("ALSOFT_DRIVERS", "null", 0) == 0;
}

// OpenAL's own threads synchronise through atomics that ThreadSanitizer does
// not see inside the uninstrumented library.
extern "C" const char* __tsan_default_suppressions()
{
    return "race:libopenal.so\n";
}
