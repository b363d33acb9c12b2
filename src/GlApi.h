// OpenGL 1.1, the one graphics interface of the game: the system's own, or on OpenGL ES 3 the
// layer that gives the same calls their 1.1 meaning. Windows' <GL/gl.h> pulls in all of
// <windows.h> unless the two calling-convention macros it needs are already defined; defining
// them here keeps the system headers out of everything that only draws.
#pragma once

#ifdef KELTO_GLES
#include "gles/GlOnGles.h"
#else

#if defined(_WIN32) && !defined(APIENTRY)
#define APIENTRY __stdcall
#define WINGDIAPI __declspec(dllimport)
#define KELTO_GL_MACROS
#endif

#include <GL/gl.h>

#ifdef KELTO_GL_MACROS
// A platform file may include <windows.h> afterwards; it defines these itself.
#undef APIENTRY
#undef WINGDIAPI
#undef KELTO_GL_MACROS
#endif
#endif
