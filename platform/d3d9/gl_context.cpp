#include "platform/d3d9/gl_context.h"

#include <SDL.h>

#include <cstring>

std::shared_ptr<gl_context_c> gl_context_c::Make(SDL_Window* _window, std::string& _failure)
{
    if (_window == nullptr) {
        _failure = "no window to draw on (the device window has no SDL window)";
        return nullptr;
    }
    if ((SDL_GetWindowFlags(_window) & SDL_WINDOW_OPENGL) == 0) {
        _failure = "the window cannot take an OpenGL context";
        return nullptr;
    }
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // Depth and stencil live in the backend's own framebuffers.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GLContext made = SDL_GL_CreateContext(_window);
    SDL_GL_ResetAttributes();
    if (made == nullptr) {
        _failure = std::string("no OpenGL 3.3 core context: ") + SDL_GetError();
        return nullptr;
    }
    std::shared_ptr<gl_context_c> context(new gl_context_c);
    context->window = _window;
    context->context = made;
    std::string missing;
    if (!context->gl.Load(missing)) {
        _failure = "the OpenGL driver lacks " + missing;
        return nullptr;
    }
    GLint major = 0, minor = 0;
    context->gl.GetIntegerv(GL_MAJOR_VERSION, &major);
    context->gl.GetIntegerv(GL_MINOR_VERSION, &minor);
    if (major < 3 || (major == 3 && minor < 3)) {
        _failure = "OpenGL " + std::to_string(major) + "." + std::to_string(minor) + " is older than 3.3";
        return nullptr;
    }
    GLint extensions = 0;
    bool s3tc = false;
    context->gl.GetIntegerv(GL_NUM_EXTENSIONS, &extensions);
    for (GLint i = 0; i < extensions && !s3tc; ++i) {
        const auto* name = reinterpret_cast<const char*>(context->gl.GetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
        s3tc = name != nullptr && std::strcmp(name, "GL_EXT_texture_compression_s3tc") == 0;
    }
    if (!s3tc) {
        _failure = "the OpenGL driver lacks S3TC texture compression (GL_EXT_texture_compression_s3tc)";
        return nullptr;
    }
    const auto* renderer = reinterpret_cast<const char*>(context->gl.GetString(GL_RENDERER));
    context->renderer = renderer != nullptr ? renderer : "OpenGL";
    return context;
}

gl_context_c::~gl_context_c()
{
    if (context != nullptr) {
        if (SDL_GL_GetCurrentContext() == context) {
            SDL_GL_MakeCurrent(window, nullptr);
        }
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context));
    }
}

void gl_context_c::Use()
{
    if (SDL_GL_GetCurrentContext() != context) {
        SDL_GL_MakeCurrent(window, static_cast<SDL_GLContext>(context));
    }
}

gl_name_c::gl_name_c(std::shared_ptr<gl_context_c> _context, kind_e _kind) : context(std::move(_context)), kind(_kind)
{
    context->Use();
    const gl_api_s& gl = context->gl;
    switch (kind) {
    case texture: gl.GenTextures(1, &name); break;
    case buffer: gl.GenBuffers(1, &name); break;
    case framebuffer: gl.GenFramebuffers(1, &name); break;
    case renderbuffer: gl.GenRenderbuffers(1, &name); break;
    case sampler: gl.GenSamplers(1, &name); break;
    case vertex_array: gl.GenVertexArrays(1, &name); break;
    case program: name = gl.CreateProgram(); break;
    }
}

gl_name_c::~gl_name_c()
{
    context->Use();
    const gl_api_s& gl = context->gl;
    switch (kind) {
    case texture: gl.DeleteTextures(1, &name); break;
    case buffer: gl.DeleteBuffers(1, &name); break;
    case framebuffer: gl.DeleteFramebuffers(1, &name); break;
    case renderbuffer: gl.DeleteRenderbuffers(1, &name); break;
    case sampler: gl.DeleteSamplers(1, &name); break;
    case vertex_array: gl.DeleteVertexArrays(1, &name); break;
    case program: gl.DeleteProgram(name); break;
    }
}
