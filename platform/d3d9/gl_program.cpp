#include "platform/d3d9/gl_program.h"

#include <stdexcept>

namespace {

GLuint Compile(const gl_api_s& _gl, GLenum _kind, const std::string& _source)
{
    const GLuint shader = _gl.CreateShader(_kind);
    const char* text = _source.c_str();
    _gl.ShaderSource(shader, 1, &text, nullptr);
    _gl.CompileShader(shader);
    GLint ok = 0;
    _gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == 0) {
        char log[2048] = {};
        _gl.GetShaderInfoLog(shader, sizeof(log), nullptr, log);
        _gl.DeleteShader(shader);
        throw std::runtime_error(std::string("OpenGL backend: a generated ") +
                                 (_kind == GL_VERTEX_SHADER ? "vertex" : "pixel") +
                                 " program does not compile: " + log + "\n" + _source);
    }
    return shader;
}

}

gl_program_s GlLinkProgram(const std::shared_ptr<gl_context_c>& _context, const std::string& _vertex,
                           const std::string& _pixel)
{
    gl_program_s out;
    out.program = std::make_shared<gl_name_c>(_context, gl_name_c::program);
    const gl_api_s& gl = _context->gl;
    const GLuint name = out.program->Name();
    const GLuint vertex = Compile(gl, GL_VERTEX_SHADER, _vertex);
    GLuint pixel = 0;
    try {
        pixel = Compile(gl, GL_FRAGMENT_SHADER, _pixel);
    } catch (...) {
        gl.DeleteShader(vertex);
        throw;
    }
    gl.AttachShader(name, vertex);
    gl.AttachShader(name, pixel);
    gl.LinkProgram(name);
    gl.DeleteShader(vertex);
    gl.DeleteShader(pixel);
    GLint ok = 0;
    gl.GetProgramiv(name, GL_LINK_STATUS, &ok);
    if (ok == 0) {
        char log[2048] = {};
        gl.GetProgramInfoLog(name, sizeof(log), nullptr, log);
        throw std::runtime_error(std::string("OpenGL backend: a generated program does not link: ") + log);
    }
    out.vc = gl.GetUniformLocation(name, "vc");
    out.pc = gl.GetUniformLocation(name, "pc");
    out.fixup = gl.GetUniformLocation(name, "fixup");
    out.pf = gl.GetUniformLocation(name, "pf");
    gl.UseProgram(name);
    for (u32 unit = 0; unit < d3d_sampler_count; ++unit) {
        const std::string sampler = "s" + std::to_string(unit);
        const GLint at = gl.GetUniformLocation(name, sampler.c_str());
        if (at >= 0) {
            gl.Uniform1i(at, static_cast<GLint>(unit));
        }
    }
    return out;
}
