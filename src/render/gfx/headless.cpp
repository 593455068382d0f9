#include "render/gfx/headless.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

namespace quixo::gfx {

namespace {

EGLDisplay SurfacelessDisplay() {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return EGL_NO_DISPLAY;
    return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

}  // namespace

bool StartHeadlessContext(HeadlessContext& headless, std::string& error, bool debugOutput) {
    EGLDisplay display = SurfacelessDisplay();
    EGLint major = 0, minor = 0;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
        error = "no EGL surfaceless display";
        return false;
    }
    headless.display = display;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error = "EGL cannot bind the OpenGL API";
        StopHeadlessContext(headless);
        return false;
    }
    const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &configs) || configs == 0) {
        config = nullptr;  // EGL_KHR_no_config_context: surfaceless needs none
    }
    // A debug context reports every GL error through the debug callback, synchronously.
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                        4,
                                        EGL_CONTEXT_MINOR_VERSION,
                                        5,
                                        EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                        EGL_CONTEXT_OPENGL_DEBUG,
                                        debugOutput ? EGL_TRUE : EGL_FALSE,
                                        EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) {
        error = "EGL cannot create an OpenGL 4.5 core context";
        StopHeadlessContext(headless);
        return false;
    }
    headless.glContext = context;
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        error = "EGL cannot make the context current";
        StopHeadlessContext(headless);
        return false;
    }
    return true;
}

void StopHeadlessContext(HeadlessContext& headless) {
    if (!headless.display) return;
    auto display = static_cast<EGLDisplay>(headless.display);
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (headless.glContext) eglDestroyContext(display, static_cast<EGLContext>(headless.glContext));
    eglTerminate(display);
    headless = HeadlessContext{};
}

bool StartHeadless(HeadlessGraphics& graphics, std::uint32_t width, std::uint32_t height,
                   std::string& error, bool debugOutput) {
    if (!StartHeadlessContext(graphics.gl, error, debugOutput)) return false;
    if (!CreateDevice(graphics.device, error, debugOutput)) return false;
    if (!CreateDeviceContext(graphics.device, graphics.context)) {
        error = "cannot create the device context: " + graphics.device.lastError;
        return false;
    }
    if (!CreateSwapChain(graphics.device, {width, height, Format::R8G8B8A8_UNORM}, nullptr,
                         graphics.swapChain)) {
        error = "cannot create the swap chain: " + graphics.device.lastError;
        return false;
    }
    return true;
}

void StopHeadless(HeadlessGraphics& graphics) {
    if (graphics.device.created) {
        ReleaseSwapChain(graphics.device, graphics.swapChain);
        ReleaseDeviceContext(graphics.context);
    }
    StopHeadlessContext(graphics.gl);
}

}  // namespace quixo::gfx
