#pragma once
// lws1_reader_c: reads the older LightWave scene text, version 1, into a
// scene_c: objects with their bones, null objects, lights, the camera, the
// scene's ambient, backdrop, fog, glow and background settings and their
// frame-numbered envelopes, and the parent and target links by object (and
// bone) number. Colours are written as
// integers 0..255 and angles in degrees.
//
// Lights with lens flares (when the scene enables them) get a flare_c named
// after the light and drawn from the flare keywords, parented to the light;
// without a renderer they throw file_error_c ("Lens flares need a renderer
// to draw their picture!").
//
// Structure errors throw file_error_c with the scene file's name.
#include "engine/envelope.h"
#include "engine/import/lws_reader.h"

class graph_c;

// True when the bytes from the file's position begin with "LWSC\n1" or
// "LWSC\r\n1"; the position does not move.
bool IsLws1File(const input_file_c& _file);

class lws1_reader_c : private lws_reader_c {
public:
    explicit lws1_reader_c(input_file_c& _file);

    void Read(scene_c* _scene, renderer_c* _renderer);

private:
    void ReadValue(f32& _target, graph_c* _owner, f32 _scale);
    void ReadMotion(entity_c* _entity, u32 _count);
    envelope_behaviour_e ReadEndBehaviour();
    vec3_c ReadColor();
};

// The scene loader's entry for version-1 scenes: false, consuming nothing,
// for other files.
bool ImportLws1Scene(input_file_c& _file, scene_c& _scene);
