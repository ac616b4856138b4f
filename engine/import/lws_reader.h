#pragma once
// lws_reader_c: what the LightWave scene readers of both versions share: the
// tokenizer over the scene text, the scene's folder as current directory,
// the item records (objects, lights, cameras with their parent and target
// links, in creation order), the frame range, the numbering of repeated
// names and the final pass that hands the items to the scene and links them.
#include <functional>
#include <memory>
#include <vector>

#include "engine/flare.h"
#include "engine/import/lws_tokenizer.h"
#include "foundation/memory_file.h"
#include "foundation/path.h"

class bone_c;
class camera_c;
class entity_c;
class graph_c;
class light_c;
class null_object_c;
class renderer_c;
class scene_c;

// True when the bytes from the file's position begin with "LWSC\n" or
// "LWSC\r\n" and the version digit; the position does not move.
bool IsLwsFile(const input_file_c& _file, char _version);

// Light flags the scene keywords clear or set.
enum lws_light_flag_e : u32 {
    lws_light_diffuse = 8,
    lws_light_specular = 16,
    lws_light_shadows = 128,
};

class lws_reader_c {
protected:
    explicit lws_reader_c(input_file_c& _file);
    ~lws_reader_c();

    // A parent or target reference as the file gives it; 0 is none.
    struct link_c {
        entity_c* item = nullptr;
        u32 parent = 0;
        u32 target = 0;
    };
    struct bone_record_c {
        std::unique_ptr<bone_c> bone;
        bone_c* raw = nullptr;
        link_c link;
        string_c weightMapName;
    };
    struct object_c {
        object_c();
        ~object_c();
        std::unique_ptr<null_object_c> object;
        null_object_c* raw = nullptr;
        link_c link;
        i32 layer = -1; // object layers only
        string_c layerName;
        std::vector<std::unique_ptr<bone_record_c>> bones;
    };
    struct light_record_c {
        light_record_c();
        ~light_record_c();
        std::unique_ptr<light_c> light;
        light_c* raw = nullptr;
        link_c link;
        // The lens flare and the picture it is drawn from; null without one.
        std::unique_ptr<flare_def_c> flareDef;
        std::unique_ptr<flare_c> flare;
        flare_c* flareRaw = nullptr;
        bool distortion = false;
    };
    struct camera_record_c {
        std::unique_ptr<camera_c> camera;
        camera_c* raw = nullptr;
        link_c link;
    };

    // Each record becomes the current one of its kind and the current item.
    void AddObject(std::unique_ptr<null_object_c> _object, i32 _layer = -1, const string_c& _layerName = string_c());
    // Loads layer _layer of the object file named at the end of _path (its
    // folder dropped) beside the scene, and adds it.
    void LoadObjectLayer(const string_c& _path, u32 _layer);
    void AddLight(const string_c& _name);
    void AddCamera(const string_c& _name);
    // A bone of the current object (none without one).
    void AddBone(const string_c& _name);
    // The bone keywords both versions share; false for any other word.
    bool ReadBoneKeyword(const string_c& _word);

    // "LensFlare" and the flare keywords of both versions; false for any
    // other word. The versions differ in how values (_readValue: target,
    // envelope owner, scale) and the ring colour are written, and in the unit
    // of the rotation angle (_rotationScale, negated: the picture turns
    // against the bank).
    bool ReadFlareKeyword(const string_c& _word, const std::function<void(f32&, graph_c*, f32)>& _readValue,
                          const std::function<vec3_c()>& _readColor, f32 _rotationScale);

    // The frame keywords of both versions; false for any other word.
    bool ReadFrameKeyword(const string_c& _word);

    // Sets the scene's range, numbers repeated names, hands the items to the
    // scene (the camera at _activeCamera becomes active), adds each light's
    // flare as an object parented to its light, and links parents
    // and targets through _resolve; a reference it cannot resolve throws
    // _notFound.
    // Bone parents resolve through _resolveBone (object record, reference);
    // a reference to the bone's own object makes a root bone.
    void Finish(u32 _activeCamera, const std::function<entity_c*(u32)>& _resolve, const char* _notFound,
                const std::function<entity_c*(const object_c&, u32)>& _resolveBone, const char* _boneNotFound);

    [[noreturn]] void Fail(const char* _message) const;
    // The rest of a line as a name: trailing carriage return and blanks cut.
    string_c ReadName();
    static string_c Backslashed(const string_c& _path);

    lws_tokenizer_c tokens;
    string_c fileName;
    directory_cache_c folder;
    scene_c* scene = nullptr;
    renderer_c* renderer = nullptr;

    std::vector<std::unique_ptr<object_c>> objects;
    std::vector<std::unique_ptr<light_record_c>> lights;
    std::vector<std::unique_ptr<camera_record_c>> cameras;
    std::vector<link_c*> links; // in creation order, owned by the records
    link_c* currentLink = nullptr;
    null_object_c* currentObject = nullptr;
    light_c* currentLight = nullptr;
    light_record_c* currentLightRecord = nullptr;
    camera_c* currentCamera = nullptr;
    bone_record_c* currentBone = nullptr;
    u32 currentKind = 0; // 0 none, 1 object, 2 light, 3 camera, 4 bone
    f32 firstFrame = 0.0f;
    f32 lastFrame = 0.0f;
    f32 frameStep = 1.0f;
    f32 frameRate = 30.0f;
    bool lensFlares = false;

private:
    void NameDuplicates();
    void AddItemsToScene(u32 _activeCamera);
    void AddFlaresToScene();
};
