#pragma once
// lwob_reader_c: reads old-style LightWave object files (an IFF "FORM" of
// type "LWOB"): points, surface names, polygons (points, lines and triangles
// only) and surfaces with their colour, bump and reflection images, into the
// same working records as the LWO2 reader, so both build geometry alike.
// Every failure throws file_error_c with the file name; nothing is built
// from a file that fails. While the reader lives, the file's folder is the
// current directory, so image names resolve beside it.
#include "engine/import/lwo2_reader.h"

class lwob_reader_c {
public:
    explicit lwob_reader_c(input_file_c& _file);

    bool IsLwob();
    // Reads the whole object: points, polygons, surfaces and normals.
    void ReadObjectRecords(lwo2_layer_c& _out);
    // Parses every "SURF" chunk of the file into _out (the last one decides,
    // as each starts from the defaults); _out's name becomes the surface name.
    void ReadMaterialRecords(lwo2_surface_c& _out);
    // The geometry of an object read by ReadObjectRecords, named after it.
    static void BuildGeometry(const lwo2_layer_c& _object, const char* _objectName, lwo2_geometry_c& _out);

private:
    // Sub-chunks of one "SURF" behind its name; returns the error text or null.
    const char* ReadSurface(iff_chunk_c& _chunk, lwo2_surface_c& _surface);

    string_c fileName;
    iff_chunk_c form;
    directory_cache_c folder;
};
