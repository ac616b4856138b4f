#pragma once
// vob_object_c: a model file placed in a level as it is. Stored leaf after
// the base's: "fnam" (the model file name). Reading with a renderer loads
// the model (any class the engine's object loader knows) as the entity.
#include "level/parameter_object.h"

class vob_object_c : public parameter_object_c {
public:
    int GetType() const override { return level_object_vob; }
    const char* GetTypeName() const override { return "VOB"; }
    void Serialize(CChunkSaver& _saver, int _zero, renderer_c* _renderer) override;
    // "Filename"; exporting first empties the list.
    void ExchangeParameters(parameter_list_c& _list, bool _read) override;

    string_c fileName;
};
