#pragma once
// marked_object_c: the part control points and walk paths share, a marker
// entity an editor shows in the level. The object owns its marker and adds
// it to the parent aggregate it was given; it takes the marker out of that
// parent again before replacing or destroying it, so the parent must outlive
// the object.
#include "level/parameter_object.h"

class marked_object_c : public parameter_object_c {
public:
    ~marked_object_c() override;

    // Kept by CreateEngineObject for later rebuilds.
    aggregate_c* parent = nullptr;
    renderer_c* renderer = nullptr;

protected:
    // Takes the current marker out of the parent (it stays the entity).
    void ReleaseMarker();
    // The marker becomes the entity, replacing the old one, and joins the
    // parent when there is one.
    void AdoptMarker(std::unique_ptr<null_object_c> _marker);
};
