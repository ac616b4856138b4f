#pragma once
// control_point_object_c: a trigger volume of the mission. Type 0 is a
// sphere of radius size around the position, type 1 an infinite vertical
// column of that radius; other types contain nothing. The game world counts
// its activations down (counter), orders points that share an ID
// (activation order, -1 none), limits the player's speed inside it
// (activation speed, negative none) and keeps the occupied byte while a
// qualifying object stays inside.
//
// Stored form (its own, no "Envs"): "name" "posi" "rota" "scal" "acOr"
// "acTy" "acSz" "acCo" "acSp" "iden" "scrp" (string) "prms" { parameter
// list }.
#include "level/marked_object.h"

class control_point_object_c : public marked_object_c {
public:
    enum shape_e : i32 { shape_sphere = 0, shape_column = 1 };

    int GetType() const override { return level_object_control_point; }
    const char* GetTypeName() const override { return "Control Point"; }
    void Serialize(CChunkSaver& _saver, int _zero, renderer_c* _renderer) override;
    // "Type", "Size", "Activation speed", "Activation order", "Activation
    // counter", "ID", "Script"; added to (or updated in) what the list holds.
    void ExchangeParameters(parameter_list_c& _list, bool _read) override;
    // Rebuilds the marker when it exists and a parent and renderer are kept.
    void ApplyParameters() override;
    // The wire-frame marker: a geometry object named name + "_obj" (mesh
    // "_msh", material "_mat" with colour, luminosity and diffuse 1) at the
    // position, made of 16 segments per circle: the three great circles of
    // radius size for a sphere, two horizontal circles at heights +1000 and
    // -1000 for a column, nothing for other types. It replaces the previous
    // marker and is added to _parent when one is given; the object keeps
    // owning it, and takes it out of the parent again when rebuilt or
    // destroyed, so the parent must outlive the object. Nothing without a
    // renderer.
    void CreateEngineObject(aggregate_c* _parent, renderer_c* _renderer) override;

    // Strictly inside: a point at distance size is outside.
    bool Contains(const vec3_c& _point) const;

    i32 activationOrder = -1;
    i32 shape = shape_sphere;
    f32 size = 1.0f;
    i32 activationCounter = 1;
    f32 activationSpeed = -1.0f;
    i32 id = 0;
    string_c script;
    // Run-time state of the game world; 0 at load, never stored.
    u8 occupied = 0;
};
