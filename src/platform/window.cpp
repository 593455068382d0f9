#include "platform/window.h"

#include <SDL.h>

#include "platform/message_box.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/wide_text.h"
#endif

namespace quixo {

struct PlaybackWindow {
    SDL_Window* window;
    SDL_GLContext context;
};

namespace {

// Windows shows its own message box: no owner, one OK button. Elsewhere SDL draws one.
void ShowSystemMessageBox(const std::string& text, const std::string& caption) {
#ifdef _WIN32
    MessageBoxW(nullptr, WideFromUtf8(text).c_str(), WideFromUtf8(caption).c_str(), MB_OK);
#else
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), nullptr);
#endif
}

// A click anywhere in a windowed playback window starts a window drag.
SDL_HitTestResult DragAnywhere(SDL_Window*, const SDL_Point*, void*) {
    return SDL_HITTEST_DRAGGABLE;
}

// Set when an Escape press reaches SDL's queue. A press and its release can both arrive within
// one event pump, after which the key state alone reads "up": the latch keeps the press for
// the next EscapeDown, as an asynchronous key-state query reports a press since the last call.
bool g_escapePressed = false;

int WatchEscape(void*, SDL_Event* event) {
    if (event->type == SDL_KEYDOWN && event->key.keysym.scancode == SDL_SCANCODE_ESCAPE)
        g_escapePressed = true;
    return 1;
}

}  // namespace

PlaybackWindow* OpenPlaybackWindow(int width, int height, bool fullScreen, std::string& error) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        error = std::string("cannot open a window: ") + SDL_GetError();
        return nullptr;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN;
    int x = 0, y = 0, w = width, h = height;
    SDL_DisplayMode desktop{};
    const bool haveDesktop = SDL_GetDesktopDisplayMode(0, &desktop) == 0;
    if (fullScreen) {
        // Made at the desktop's size and origin as well: without a window manager to honour
        // the full-screen request, the window still covers the screen.
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        if (haveDesktop) {
            w = desktop.w;
            h = desktop.h;
        }
    } else if (haveDesktop) {
        x = (desktop.w - width) >> 1;
        y = (desktop.h - height) >> 1;
    }
    SDL_Window* window = SDL_CreateWindow("Quixo", x, y, w, h, flags);
    if (window == nullptr) {
        error = std::string("cannot open the playback window: ") + SDL_GetError();
        return nullptr;
    }
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr) {
        error = std::string("no OpenGL 4.5 core context: ") + SDL_GetError();
        SDL_DestroyWindow(window);
        return nullptr;
    }
    SDL_AddEventWatch(WatchEscape, nullptr);
    if (fullScreen) {
        SDL_ShowCursor(SDL_DISABLE);
    } else {
        SDL_SetWindowHitTest(window, DragAnywhere, nullptr);
    }
    return new PlaybackWindow{window, context};
}

WindowEvent PollWindowEvent(PlaybackWindow*) {
    SDL_Event event;
    if (SDL_PollEvent(&event) == 0) return WindowEvent::None;
    if (event.type == SDL_QUIT ||
        (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE)) {
        return WindowEvent::Quit;
    }
    return WindowEvent::Other;
}

bool EscapeDown() {
    SDL_PumpEvents();
    const Uint8* keys = SDL_GetKeyboardState(nullptr);
    const bool down = g_escapePressed || (keys != nullptr && keys[SDL_SCANCODE_ESCAPE] != 0);
    g_escapePressed = false;
    return down;
}

WindowSize DrawableSize(PlaybackWindow* window) {
    WindowSize size{};
    SDL_GL_GetDrawableSize(window->window, &size.width, &size.height);
    return size;
}

void SetSwapInterval(int interval) {
    SDL_GL_SetSwapInterval(interval);
}

void SwapWindow(PlaybackWindow* window) {
    SDL_GL_SwapWindow(window->window);
}

void UseInteractiveMessageBoxes() {
    SetMessageBoxDisplay(ShowSystemMessageBox);
    SetMessageBoxMode(MessageBoxMode::Interactive);
}

}  // namespace quixo
