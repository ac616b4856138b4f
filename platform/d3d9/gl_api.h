#pragma once
// gl_api_s: the OpenGL 3.3 core entry points the backend calls, fetched
// from the current context through SDL. Load fills every pointer and names
// the first one the driver does not give.
#include <GL/glcorearb.h>

#include <string>

#define SKYVARN_GL_CALLS(X)                                                                                            \
    X(PFNGLGETSTRINGPROC, GetString)                                                                                   \
    X(PFNGLGETSTRINGIPROC, GetStringi)                                                                                 \
    X(PFNGLGETINTEGERVPROC, GetIntegerv)                                                                               \
    X(PFNGLGETERRORPROC, GetError)                                                                                     \
    X(PFNGLENABLEPROC, Enable)                                                                                         \
    X(PFNGLDISABLEPROC, Disable)                                                                                       \
    X(PFNGLVIEWPORTPROC, Viewport)                                                                                     \
    X(PFNGLDEPTHRANGEPROC, DepthRange)                                                                                 \
    X(PFNGLSCISSORPROC, Scissor)                                                                                       \
    X(PFNGLCLEARCOLORPROC, ClearColor)                                                                                 \
    X(PFNGLCLEARDEPTHPROC, ClearDepth)                                                                                 \
    X(PFNGLCLEARSTENCILPROC, ClearStencil)                                                                             \
    X(PFNGLCLEARPROC, Clear)                                                                                           \
    X(PFNGLCOLORMASKPROC, ColorMask)                                                                                   \
    X(PFNGLCOLORMASKIPROC, ColorMaski)                                                                                 \
    X(PFNGLDEPTHMASKPROC, DepthMask)                                                                                   \
    X(PFNGLDEPTHFUNCPROC, DepthFunc)                                                                                   \
    X(PFNGLSTENCILMASKPROC, StencilMask)                                                                               \
    X(PFNGLSTENCILFUNCSEPARATEPROC, StencilFuncSeparate)                                                               \
    X(PFNGLSTENCILOPSEPARATEPROC, StencilOpSeparate)                                                                   \
    X(PFNGLSTENCILMASKSEPARATEPROC, StencilMaskSeparate)                                                               \
    X(PFNGLCULLFACEPROC, CullFace)                                                                                     \
    X(PFNGLFRONTFACEPROC, FrontFace)                                                                                   \
    X(PFNGLPOLYGONMODEPROC, PolygonMode)                                                                               \
    X(PFNGLBLENDFUNCPROC, BlendFunc)                                                                                   \
    X(PFNGLBLENDEQUATIONPROC, BlendEquation)                                                                           \
    X(PFNGLPIXELSTOREIPROC, PixelStorei)                                                                               \
    X(PFNGLREADPIXELSPROC, ReadPixels)                                                                                 \
    X(PFNGLREADBUFFERPROC, ReadBuffer)                                                                                 \
    X(PFNGLDRAWBUFFERSPROC, DrawBuffers)                                                                               \
    X(PFNGLGENTEXTURESPROC, GenTextures)                                                                               \
    X(PFNGLDELETETEXTURESPROC, DeleteTextures)                                                                         \
    X(PFNGLBINDTEXTUREPROC, BindTexture)                                                                               \
    X(PFNGLACTIVETEXTUREPROC, ActiveTexture)                                                                           \
    X(PFNGLTEXIMAGE2DPROC, TexImage2D)                                                                                 \
    X(PFNGLTEXSUBIMAGE2DPROC, TexSubImage2D)                                                                           \
    X(PFNGLCOMPRESSEDTEXIMAGE2DPROC, CompressedTexImage2D)                                                             \
    X(PFNGLTEXPARAMETERIPROC, TexParameteri)                                                                           \
    X(PFNGLTEXPARAMETERIVPROC, TexParameteriv)                                                                         \
    X(PFNGLGENSAMPLERSPROC, GenSamplers)                                                                               \
    X(PFNGLDELETESAMPLERSPROC, DeleteSamplers)                                                                         \
    X(PFNGLBINDSAMPLERPROC, BindSampler)                                                                               \
    X(PFNGLSAMPLERPARAMETERIPROC, SamplerParameteri)                                                                   \
    X(PFNGLSAMPLERPARAMETERFPROC, SamplerParameterf)                                                                   \
    X(PFNGLSAMPLERPARAMETERFVPROC, SamplerParameterfv)                                                                 \
    X(PFNGLGENBUFFERSPROC, GenBuffers)                                                                                 \
    X(PFNGLDELETEBUFFERSPROC, DeleteBuffers)                                                                           \
    X(PFNGLBINDBUFFERPROC, BindBuffer)                                                                                 \
    X(PFNGLBUFFERDATAPROC, BufferData)                                                                                 \
    X(PFNGLBUFFERSUBDATAPROC, BufferSubData)                                                                           \
    X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays)                                                                       \
    X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays)                                                                 \
    X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray)                                                                       \
    X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray)                                                       \
    X(PFNGLDISABLEVERTEXATTRIBARRAYPROC, DisableVertexAttribArray)                                                     \
    X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer)                                                               \
    X(PFNGLVERTEXATTRIB4FPROC, VertexAttrib4f)                                                                         \
    X(PFNGLDRAWARRAYSPROC, DrawArrays)                                                                                 \
    X(PFNGLDRAWELEMENTSBASEVERTEXPROC, DrawElementsBaseVertex)                                                         \
    X(PFNGLCREATESHADERPROC, CreateShader)                                                                             \
    X(PFNGLDELETESHADERPROC, DeleteShader)                                                                             \
    X(PFNGLSHADERSOURCEPROC, ShaderSource)                                                                             \
    X(PFNGLCOMPILESHADERPROC, CompileShader)                                                                           \
    X(PFNGLGETSHADERIVPROC, GetShaderiv)                                                                               \
    X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog)                                                                     \
    X(PFNGLCREATEPROGRAMPROC, CreateProgram)                                                                           \
    X(PFNGLDELETEPROGRAMPROC, DeleteProgram)                                                                           \
    X(PFNGLATTACHSHADERPROC, AttachShader)                                                                             \
    X(PFNGLBINDATTRIBLOCATIONPROC, BindAttribLocation)                                                                 \
    X(PFNGLBINDFRAGDATALOCATIONPROC, BindFragDataLocation)                                                             \
    X(PFNGLLINKPROGRAMPROC, LinkProgram)                                                                               \
    X(PFNGLGETPROGRAMIVPROC, GetProgramiv)                                                                             \
    X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog)                                                                   \
    X(PFNGLUSEPROGRAMPROC, UseProgram)                                                                                 \
    X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation)                                                                 \
    X(PFNGLUNIFORM1IPROC, Uniform1i)                                                                                   \
    X(PFNGLUNIFORM1FPROC, Uniform1f)                                                                                   \
    X(PFNGLUNIFORM4FVPROC, Uniform4fv)                                                                                 \
    X(PFNGLUNIFORMMATRIX4FVPROC, UniformMatrix4fv)                                                                     \
    X(PFNGLGENFRAMEBUFFERSPROC, GenFramebuffers)                                                                       \
    X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers)                                                                 \
    X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer)                                                                       \
    X(PFNGLFRAMEBUFFERTEXTURE2DPROC, FramebufferTexture2D)                                                             \
    X(PFNGLFRAMEBUFFERRENDERBUFFERPROC, FramebufferRenderbuffer)                                                       \
    X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, CheckFramebufferStatus)                                                         \
    X(PFNGLBLITFRAMEBUFFERPROC, BlitFramebuffer)                                                                       \
    X(PFNGLGENRENDERBUFFERSPROC, GenRenderbuffers)                                                                     \
    X(PFNGLDELETERENDERBUFFERSPROC, DeleteRenderbuffers)                                                               \
    X(PFNGLBINDRENDERBUFFERPROC, BindRenderbuffer)                                                                     \
    X(PFNGLRENDERBUFFERSTORAGEPROC, RenderbufferStorage)                                                               \
    X(PFNGLPOINTSIZEPROC, PointSize)                                                                                   \
    X(PFNGLPOINTPARAMETERIPROC, PointParameteri)                                                                       \
    X(PFNGLFINISHPROC, Finish)

struct gl_api_s {
#define SKYVARN_GL_MEMBER(type, name) type name = nullptr;
    SKYVARN_GL_CALLS(SKYVARN_GL_MEMBER)
#undef SKYVARN_GL_MEMBER

    // Fetches every entry point from the current context; false with the
    // missing one's name in _missing.
    bool Load(std::string& _missing);
};
