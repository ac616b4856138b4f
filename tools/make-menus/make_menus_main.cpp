// make-menus STAGE   writes the menus' generated files (control bodies,
//                    background, distinction medals, sounds) below the
//                    staging folder STAGE, laid out by archive name
#include <cstdio>
#include <exception>

#include "engine/null_renderer.h"
#include "foundation/file_error.h"
#include "tools/make-menus/menu_bodies.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-menus STAGE\n");
        return 2;
    }
    try {
        null_renderer_c renderer;
        data_files_t files;
        MakeMenus(files, &renderer);
        WriteDataFiles(files, argv[1]);
        return 0;
    } catch (const file_error_c& error) {
        std::fprintf(stderr, "make-menus: %s: %s\n", error.GetFileName().GetData(), error.what());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make-menus: %s\n", error.what());
    }
    return 1;
}
