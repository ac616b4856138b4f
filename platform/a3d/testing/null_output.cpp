// Tests never need a sound card: unless the environment already chose an
// OpenAL backend, the system device is the null output. OpenAL reads the
// setting when it is first used, after static construction.
#include <cstdlib>

namespace {
const bool null_output_chosen = setenv("ALSOFT_DRIVERS", "null", 0) == 0;
}
