#include "platform/d3d9/gl_api.h"

#include <SDL.h>

bool gl_api_s::Load(std::string& _missing)
{
#define SKYVARN_GL_FETCH(type, name)                                                                                   \
    name = reinterpret_cast<type>(SDL_GL_GetProcAddress("gl" #name));                                                  \
    if (name == nullptr) {                                                                                             \
        _missing = "gl" #name;                                                                                         \
        return false;                                                                                                  \
    }
    SKYVARN_GL_CALLS(SKYVARN_GL_FETCH)
#undef SKYVARN_GL_FETCH
    return true;
}
