// The OpenGL 1.1 calls the game makes, given their 1.1 meaning on OpenGL ES 3.0 (and so on
// WebGL 2). The game's drawing code is written as 1.1 calls and every drawing rule, the kept ones
// included, is defined by them; this layer keeps that code as it is. Each 1.1 name the game uses
// is mapped here to the layer's function of the same meaning; the ES calls the layer does not need
// to see pass straight through.
//
// The layer knows no window system: whoever creates an ES 3 context makes a layer context for it
// and keeps the two current together.
#pragma once

#include <GLES3/gl3.h>

// The 1.1 names ES 3 lacks.
#define GL_QUADS 0x0007
#define GL_COMPILE 0x1300
#define GL_MATRIX_MODE 0x0BA0
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_MODELVIEW_MATRIX 0x0BA6
#define GL_PROJECTION_MATRIX 0x0BA7
#define GL_ALPHA_TEST 0x0BC0
#define GL_LIST_BIT 0x00020000
#define GL_CLIENT_PIXEL_STORE_BIT 0x00000001
#define GL_UNPACK_SWAP_BYTES 0x0CF0
#define GL_UNPACK_LSB_FIRST 0x0CF1
#define GL_STACK_OVERFLOW 0x0503
#define GL_STACK_UNDERFLOW 0x0504

// One layer context per ES context: matrices, switches, display lists and the layer's own ES
// objects. Create it with its ES context current; make it current whenever that context is.
struct TGlesContext;
TGlesContext* GlesCreateContext();
void GlesMakeCurrent(TGlesContext* Context);
// Frees the layer's state. With its ES context still current the ES objects are deleted too;
// otherwise they went with that context.
void GlesDeleteContext(TGlesContext* Context, bool EsContextCurrent);

// Primitives and the current vertex state.
void GlesBegin(GLenum Mode);
void GlesEnd();
void GlesVertex2f(GLfloat x, GLfloat y);
void GlesVertex2i(GLint x, GLint y);
void GlesTexCoord2f(GLfloat s, GLfloat t);
void GlesTexCoord2i(GLint s, GLint t);
void GlesColor3f(GLfloat r, GLfloat g, GLfloat b);
void GlesColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void GlesColor3ub(GLubyte r, GLubyte g, GLubyte b);

// The projection and model-view stacks.
void GlesMatrixMode(GLenum Mode);
void GlesLoadIdentity();
void GlesOrtho(double Left, double Right, double Bottom, double Top, double Near, double Far);
void GlesTranslatef(GLfloat x, GLfloat y, GLfloat z);
void GlesRotatef(GLfloat Angle, GLfloat x, GLfloat y, GLfloat z);
void GlesPushMatrix();
void GlesPopMatrix();

// Switches and fragment operations.
void GlesEnable(GLenum Cap);
void GlesDisable(GLenum Cap);
GLboolean GlesIsEnabled(GLenum Cap);
void GlesAlphaFunc(GLenum Func, GLfloat Ref);
void GlesBlendFunc(GLenum Source, GLenum Destination);
void GlesViewport(GLint x, GLint y, GLsizei Width, GLsizei Height);
void GlesClear(GLbitfield Mask);

// Textures.
void GlesBindTexture(GLenum Target, GLuint Texture);
void GlesTexParameterf(GLenum Target, GLenum Name, GLfloat Value);
void GlesTexImage2D(GLenum Target, GLint Level, GLint InternalFormat, GLsizei Width, GLsizei Height,
                    GLint Border, GLenum Format, GLenum Type, const void* Pixels);
void GlesPixelStorei(GLenum Name, GLint Value);
void GlesPushClientAttrib(GLbitfield Mask);
void GlesPopClientAttrib();

// Display lists, the raster position and bitmaps.
GLuint GlesGenLists(GLsizei Range);
void GlesDeleteLists(GLuint List, GLsizei Range);
void GlesNewList(GLuint List, GLenum Mode);
void GlesEndList();
void GlesListBase(GLuint Base);
void GlesCallLists(GLsizei Count, GLenum Type, const void* Lists);
void GlesPushAttrib(GLbitfield Mask);
void GlesPopAttrib();
void GlesRasterPos2f(GLfloat x, GLfloat y);
void GlesBitmap(GLsizei Width, GLsizei Height, GLfloat OriginX, GLfloat OriginY, GLfloat MoveX,
                GLfloat MoveY, const GLubyte* Bitmap);

// Queries and the end of a frame.
void GlesGetIntegerv(GLenum Name, GLint* Values);
void GlesGetFloatv(GLenum Name, GLfloat* Values);
GLenum GlesGetError();
void GlesReadPixels(GLint x, GLint y, GLsizei Width, GLsizei Height, GLenum Format, GLenum Type,
                    void* Pixels);
void GlesFlush();
void GlesFinish();

// The layer's own source calls the ES functions of these names.
#ifndef KELTO_GLES_LAYER
#define glBegin GlesBegin
#define glEnd GlesEnd
#define glVertex2f GlesVertex2f
#define glVertex2i GlesVertex2i
#define glTexCoord2f GlesTexCoord2f
#define glTexCoord2i GlesTexCoord2i
#define glColor3f GlesColor3f
#define glColor4f GlesColor4f
#define glColor3ub GlesColor3ub
#define glMatrixMode GlesMatrixMode
#define glLoadIdentity GlesLoadIdentity
#define glOrtho GlesOrtho
#define glTranslatef GlesTranslatef
#define glRotatef GlesRotatef
#define glPushMatrix GlesPushMatrix
#define glPopMatrix GlesPopMatrix
#define glEnable GlesEnable
#define glDisable GlesDisable
#define glIsEnabled GlesIsEnabled
#define glAlphaFunc GlesAlphaFunc
#define glBlendFunc GlesBlendFunc
#define glViewport GlesViewport
#define glClear GlesClear
#define glBindTexture GlesBindTexture
#define glTexParameterf GlesTexParameterf
#define glTexImage2D GlesTexImage2D
#define glPixelStorei GlesPixelStorei
#define glPushClientAttrib GlesPushClientAttrib
#define glPopClientAttrib GlesPopClientAttrib
#define glGenLists GlesGenLists
#define glDeleteLists GlesDeleteLists
#define glNewList GlesNewList
#define glEndList GlesEndList
#define glListBase GlesListBase
#define glCallLists GlesCallLists
#define glPushAttrib GlesPushAttrib
#define glPopAttrib GlesPopAttrib
#define glRasterPos2f GlesRasterPos2f
#define glBitmap GlesBitmap
#define glGetIntegerv GlesGetIntegerv
#define glGetFloatv GlesGetFloatv
#define glGetError GlesGetError
#define glReadPixels GlesReadPixels
#define glFlush GlesFlush
#define glFinish GlesFinish
#endif
