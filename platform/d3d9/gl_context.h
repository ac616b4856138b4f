#pragma once
// gl_context_c: the OpenGL 3.3 core context the backend draws with, made
// on the SDL window of the device's window. Make sets its own attributes
// just before making it (the movie window resets SDL's to make its own old
// context), loads the entry points and checks that S3TC is offered; on any
// failure it gives null and a message naming what is missing.
//
// The device and every resource share the context; it goes when the last
// of them does. Use makes it current again when another context (the movie
// player's) has been made current in between.
#include "platform/d3d9/gl_api.h"

#include <memory>
#include <string>

struct SDL_Window;

class gl_context_c {
public:
    static std::shared_ptr<gl_context_c> Make(SDL_Window* _window, std::string& _failure);
    ~gl_context_c();
    gl_context_c(const gl_context_c&) = delete;
    gl_context_c& operator=(const gl_context_c&) = delete;

    void Use();
    SDL_Window* Window() const { return window; }
    const std::string& Renderer() const { return renderer; }

    gl_api_s gl;

private:
    gl_context_c() = default;

    SDL_Window* window = nullptr;
    void* context = nullptr;
    std::string renderer;
};

// An OpenGL object name that is deleted with its owner, keeping the
// context alive while it exists.
class gl_name_c {
public:
    enum kind_e { texture, buffer, framebuffer, renderbuffer, sampler, vertex_array, program };
    gl_name_c(std::shared_ptr<gl_context_c> _context, kind_e _kind);
    ~gl_name_c();
    gl_name_c(const gl_name_c&) = delete;
    gl_name_c& operator=(const gl_name_c&) = delete;

    GLuint Name() const { return name; }
    gl_context_c& Context() const { return *context; }
    const gl_api_s& Gl() const { return context->gl; }

private:
    std::shared_ptr<gl_context_c> context;
    kind_e kind;
    GLuint name = 0;
};
