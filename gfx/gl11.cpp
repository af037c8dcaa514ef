// The reference renderer: every gfx call goes to the fixed-function driver unchanged, most
// straight to the library's own entry point, so the driver sees exactly the calls it always saw.
#include "gfx/gl11.h"

// Buffer objects (GL 1.5) are exported by the GL library itself.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glu.h>

namespace gfx::gl11 {

namespace {

static_assert(GL_QUADS == kQuads && GL_TEXTURE_GEN_S == kTextureGenS && GL_SPHERE_MAP == kSphereMap &&
              GL_LIST_BIT == kListBit && GL_CLIENT_PIXEL_STORE_BIT == kClientPixelStoreBit &&
              GL_ARRAY_BUFFER == kArrayBuffer && GL_BGR == kBgr && GLU_SMOOTH == kGluSmooth &&
              GL_MAX_RENDERBUFFER_SIZE == kMaxRenderbufferSize && GL_COLOR_CLEAR_VALUE == kColorClearValue);

// GLU's quadric is its own opaque record; ours is only a name for it.
Quadric newQuadric() { return reinterpret_cast<Quadric>(gluNewQuadric()); }
GLUquadric* glu(Quadric quadric) { return reinterpret_cast<GLUquadric*>(quadric); }
void quadricNormals(Quadric quadric, Enum normals) { gluQuadricNormals(glu(quadric), normals); }
void quadricTexture(Quadric quadric, Boolean generate) { gluQuadricTexture(glu(quadric), generate); }
void sphere(Quadric quadric, double radius, int slices, int stacks) { gluSphere(glu(quadric), radius, slices, stacks); }
void deleteQuadric(Quadric quadric) { gluDeleteQuadric(glu(quadric)); }

const EntryPoints kEntryPoints = {
    glBegin,
    glEnd,
    glVertex3f,
    glColor3f,
    glColor4f,
    glNormal3f,
    glTexCoord2f,
    glEnable,
    glDisable,
    glBlendFunc,
    glDepthFunc,
    glDepthMask,
    glShadeModel,
    glHint,
    glLineWidth,
    glPolygonMode,
    glClearColor,
    glClearDepth,
    glClear,
    glViewport,
    glScissor,
    glMatrixMode,
    glLoadIdentity,
    glPushMatrix,
    glPopMatrix,
    glTranslatef,
    glRotatef,
    glScalef,
    glOrtho,
    gluPerspective,
    gluLookAt,
    glGetFloatv,
    glGetIntegerv,
    glGetString,
    glGetError,
    glLightfv,
    glLightModelfv,
    glMaterialfv,
    glTexGeni,
    glTexEnvi,
    glGenTextures,
    glBindTexture,
    glTexParameteri,
    glTexImage2D,
    glDeleteTextures,
    glPixelStorei,
    glGenLists,
    glNewList,
    glEndList,
    glCallList,
    glCallLists,
    glListBase,
    glDeleteLists,
    glPushAttrib,
    glPopAttrib,
    glPushClientAttrib,
    glPopClientAttrib,
    glRasterPos2i,
    glBitmap,
    glVertexPointer,
    glEnableClientState,
    glDisableClientState,
    glDrawArrays,
    glGenBuffers,
    glBindBuffer,
    glBufferData,
    glDeleteBuffers,
    newQuadric,
    quadricNormals,
    quadricTexture,
    sphere,
    deleteQuadric,
    glReadBuffer,
    glReadPixels,
    glFlush,
    glFinish,
};

}  // namespace

const EntryPoints& entryPoints() { return kEntryPoints; }

}  // namespace gfx::gl11
