// make-models <staging folder>: writes the data set's models, pictures and
// sounds under their archive names below the folder.
#include "engine/null_renderer.h"
#include "foundation/file_error.h"
#include "tools/make-models/make_models.h"
#include "tools/make-models/staged_file_writer.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-models <staging folder>\n");
        return 2;
    }
    try {
        staged_file_writer_c writer(argv[1]);
        null_renderer_c renderer;
        MakeModels(&renderer);
    } catch (const file_error_c& error) {
        std::fprintf(stderr, "make-models: %s: %s\n", error.GetFileName().GetData(), error.what());
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make-models: %s\n", error.what());
        return 1;
    }
    return 0;
}
