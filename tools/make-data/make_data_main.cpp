// make-data STAGE   writes the generated files of the demo data set below
//                   the staging folder STAGE, laid out by archive name
#include <cstdio>
#include <exception>

#include "foundation/file_error.h"
#include "tools/make-data/make_data.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-data STAGE\n");
        return 2;
    }
    try {
        data_files_t files;
        MakeDataSet(files);
        WriteDataFiles(files, argv[1]);
        return 0;
    } catch (const file_error_c& error) {
        std::fprintf(stderr, "make-data: %s: %s\n", error.GetFileName().GetData(), error.what());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make-data: %s\n", error.what());
    }
    return 1;
}
