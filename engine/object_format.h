#pragma once
// The object loader of the engine's object format: a file or a stream holds
// a sequence of chunks, and LoadObject tries the readers in a fixed order:
// the geometry object ("GEOM" or an installed LightWave object reader), then (unless only geometry is wanted) the
// aggregate, the scene, the drawable classes in the order of object_reader_e, and last the plain "NULL" object.
//
// The drawable classes live in their own files and install their readers at
// start-up with RegisterObjectReader, so the loader works (and is tested)
// before all of them exist.
#include "foundation/text_string.h"
#include "foundation/types.h"

class input_file_c;
class null_object_c;
class renderer_c;

// Slots of the drawable readers, in the order LoadObject tries them.
enum object_reader_e : u32 {
    reader_sprite,      // "SPRT"
    reader_anim_sprite, // "ANIM"
    reader_flare,       // "FLRE"
    reader_emitter,     // "EMIT"
    reader_trail,       // "TRAL"
    reader_sky_box,     // "SBOX"
    reader_terrain,     // "TERN"
    reader_water,       // "WATR"
    reader_forest,      // "FRST"
    object_reader_count,
};

// A reader returns null, consuming nothing, when the stream does not start
// with its kind, and null after skipping a chunk of its tag but another
// version. The caller owns what it returns.
using object_reader_f = null_object_c* (*)(input_file_c& _file, renderer_c* _renderer);

// Installs (or, with null, removes) the reader of a slot.
void RegisterObjectReader(object_reader_e _slot, object_reader_f _reader);
object_reader_f GetObjectReader(object_reader_e _slot);

// The first object a reader accepts, or null.
null_object_c* LoadObject(input_file_c& _file, renderer_c* _renderer, bool _geometry_only);
// Reads the file whole first; throws file_error_c(name, "Unknown file
// format!") when no reader accepts it.
null_object_c* LoadObject(const char* _file_name, renderer_c* _renderer, bool _geometry_only);

// The file name without its directory and extension: "a\\b\\name.lws"
// gives "name". Importers name their scenes and objects so.
string_c FileTitle(const char* _file_name);

// Bounds how deeply chunks may nest inside each other while reading (an
// aggregate in an aggregate ...), so a hostile file cannot exhaust the
// stack. Readers of nesting bodies hold one while they read.
class object_nesting_guard_c {
public:
    static constexpr u32 max_depth = 64;

    // Throws file_error_c(the file's name, "Objects nested too deeply!")
    // past the bound.
    explicit object_nesting_guard_c(const input_file_c& _file);
    object_nesting_guard_c(const object_nesting_guard_c&) = delete;
    object_nesting_guard_c& operator=(const object_nesting_guard_c&) = delete;
    ~object_nesting_guard_c();
};
