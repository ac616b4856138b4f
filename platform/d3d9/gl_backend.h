#pragma once
// The OpenGL backend: Direct3D 9 on an OpenGL 3.3 core context made with
// SDL on the device's window (platform/win32's GetSdlWindow). It is the
// backend Direct3DCreate9 uses until another is installed with
// SetDirect3DBackend, so the program draws with it without asking; tests
// install the record backend instead, or this one by InstallGlBackend.
//
// The adapter is SDL's first display: its desktop mode, or the mode the
// display backend switched to (platform/win32/display.h), its X8R8G8B8
// modes, no multisampling. Formats are those gl_format.h stores; depth formats
// all become 24-bit depth with 8-bit stencil.
//
// Failure: when SDL video cannot start (no display) GlDirect3DCreate9
// gives null;
// without a window, or a context of 3.3 core with S3TC, CreateDevice gives
// D3DERR_NOTAVAILABLE. Either way GlBackendFailure then names what is
// missing, for the renderer's own device-creation message.
#include "platform/d3d9/d3d9.h"

#include <string>

IDirect3D9* GlDirect3DCreate9(UINT _sdk_version);
void InstallGlBackend();
// Why the last creation of the OpenGL object or device failed; empty after
// a success.
const std::string& GlBackendFailure();
