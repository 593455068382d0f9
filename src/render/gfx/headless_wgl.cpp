// The headless context on Windows: a 4.5 core WGL context on a hidden window, which is never
// shown; everything renders into framebuffer objects. The WGL calls are opengl32's own, not
// the loader's: the loader only ever sees this one context.
#include <windows.h>

#include "render/gfx/headless.h"

namespace quixo::gfx {

namespace {

// From WGL_ARB_create_context and WGL_ARB_create_context_profile.
constexpr int kContextMajorVersion = 0x2091;
constexpr int kContextMinorVersion = 0x2092;
constexpr int kContextFlags = 0x2094;
constexpr int kContextProfileMask = 0x9126;
constexpr int kContextCoreProfileBit = 0x0001;
constexpr int kContextDebugBit = 0x0001;
using CreateContextAttribs = HGLRC(WINAPI*)(HDC, HGLRC, const int*);

constexpr const wchar_t* kWindowClass = L"Quixo headless";

}  // namespace

bool StartHeadlessContext(HeadlessContext& headless, std::string& error, bool debugOutput) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);  // fails harmlessly when a second context registers it again
    HWND window = CreateWindowExW(0, kWindowClass, L"", WS_OVERLAPPEDWINDOW, 0, 0, 16, 16, nullptr,
                                  nullptr, instance, nullptr);
    if (window == nullptr) {
        error = "cannot create the hidden window for an OpenGL context";
        return false;
    }
    headless.window = window;
    HDC dc = GetDC(window);
    headless.display = dc;
    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 32;
    format.iLayerType = PFD_MAIN_PLANE;
    const int chosen = ChoosePixelFormat(dc, &format);
    if (chosen == 0 || !SetPixelFormat(dc, chosen, &format)) {
        error = "no OpenGL pixel format for the hidden window";
        StopHeadlessContext(headless);
        return false;
    }
    // A legacy context first: only a current context hands out wglCreateContextAttribsARB.
    HGLRC legacy = wglCreateContext(dc);
    if (legacy == nullptr || !wglMakeCurrent(dc, legacy)) {
        if (legacy != nullptr) wglDeleteContext(legacy);
        error = "no OpenGL driver: cannot create an OpenGL context";
        StopHeadlessContext(headless);
        return false;
    }
    auto createContext = reinterpret_cast<CreateContextAttribs>(
        reinterpret_cast<void*>(wglGetProcAddress("wglCreateContextAttribsARB")));
    const int attributes[] = {kContextMajorVersion,
                              4,
                              kContextMinorVersion,
                              5,
                              kContextProfileMask,
                              kContextCoreProfileBit,
                              kContextFlags,
                              debugOutput ? kContextDebugBit : 0,
                              0};
    HGLRC context = createContext != nullptr ? createContext(dc, nullptr, attributes) : nullptr;
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(legacy);
    if (context == nullptr) {
        error = "the OpenGL driver cannot create a 4.5 core context";
        StopHeadlessContext(headless);
        return false;
    }
    headless.glContext = context;
    if (!wglMakeCurrent(dc, context)) {
        error = "cannot make the OpenGL context current";
        StopHeadlessContext(headless);
        return false;
    }
    return true;
}

void StopHeadlessContext(HeadlessContext& headless) {
    if (headless.glContext != nullptr) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(static_cast<HGLRC>(headless.glContext));
    }
    auto window = static_cast<HWND>(headless.window);
    if (headless.display != nullptr) ReleaseDC(window, static_cast<HDC>(headless.display));
    if (window != nullptr) DestroyWindow(window);
    headless = HeadlessContext{};
}

}  // namespace quixo::gfx
