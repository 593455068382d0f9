#pragma once
// GLU's polygon tessellator: Mesa's libGLU on Linux, the system's own glu32 on Windows.
#include <GL/glu.h>

// The calling convention of the tessellator's callbacks; Windows' headers name it APIENTRY.
#ifndef GLAPIENTRY
#define GLAPIENTRY APIENTRY
#endif

namespace quixo {

// The type gluTessCallback takes its functions as.
#ifdef _WIN32
using TessCallback = void(CALLBACK*)();
#else
using TessCallback = _GLUfuncptr;
#endif

}  // namespace quixo
