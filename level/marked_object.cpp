#include "level/marked_object.h"

#include "engine/aggregate.h"

marked_object_c::~marked_object_c()
{
    ReleaseMarker();
}

void marked_object_c::ReleaseMarker()
{
    if (parent && entity)
        parent->RemoveObject(entity.get());
}

void marked_object_c::AdoptMarker(std::unique_ptr<null_object_c> _marker)
{
    ReleaseMarker();
    entity = std::move(_marker);
    if (parent && entity)
        parent->AddObject(entity.get());
}
