#include "game/mission_object_factory.h"

#include "game/objects/game_object.h"

#include <stdexcept>
#include <string>

namespace {

[[noreturn]] void NotBuilt(const char* _section)
{
    throw std::runtime_error(std::string(_section) + " objects are not built yet");
}

} // namespace

std::unique_ptr<game_object_c> mission_object_factory_c::CreateUserPlane(const user_plane_setup_c&,
                                                                         const mission_devices_c&)
{
    NotBuilt("user");
}
