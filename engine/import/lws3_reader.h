#pragma once
// lws3_reader_c: reads a LightWave scene text of version 3 into a scene_c:
// object layers with their bones, null objects and engine objects named in
// the scene, lights, cameras, the scene's ambient, backdrop, fog, glow and
// background settings, the animation envelopes of all of these, engine
// parameter lines ("//") and the parent and target links. Repeated names are numbered " (1)", " (2)" ...
// While the reader lives, the scene's folder is the current directory.
//
// Lights with lens flares (when the scene enables them) get a flare_c named
// after the light and drawn from the flare keywords, parented to the light.
// Null objects named "[Sprite] ...", "[Anim] ...", "[Flare] ...",
// "[Emitter] ...", "[Trail] ...", "[Sky] ...", "[Terrain] ...", "[Water] ..."
// or "[Forest] ..." are those engine objects, set up by the "//" lines after
// them. Engine objects and lens flares need a renderer: a scene read
// without one that names them throws file_error_c ("Engine objects need a
// renderer!", "Lens flares need a renderer to draw their picture!").
//
// Plug-ins of object layers are passed over as a whole; the morph mixer's
// forms set the weights of the layer's morph meshes (named after their
// morph maps) with their envelopes.
//
// Structure errors throw file_error_c with the scene file's name, and so
// does a morph form naming no morph mesh ("Could not find item!").
#include "engine/import/lws_reader.h"

class graph_c;

// True when the bytes from the file's position begin with "LWSC\n3" or
// "LWSC\r\n3"; the position does not move.
bool IsLws3File(const input_file_c& _file);

class lws3_reader_c : private lws_reader_c {
public:
    explicit lws3_reader_c(input_file_c& _file);

    void Read(scene_c* _scene, renderer_c* _renderer);

private:
    void ReadValue(f32& _target, graph_c* _owner, f32 _scale);
    void ReadEnvelope(f32& _target, graph_c* _owner, f32 _scale);
    void ReadChannels(entity_c* _entity, u32 _count);
    void SkipBlock();
    string_c ReadClip();
    void ReadParameterLine();
    void ReadPlugin(const object_c& _object);
    void AddNullObject(const string_c& _name);
    entity_c* Resolve(u32 _id) const;

    u32 currentCameraIndex = 0;
};

// The scene loader's entry for version-3 scenes: false, consuming nothing,
// for other files.
bool ImportLws3Scene(input_file_c& _file, scene_c& _scene);
