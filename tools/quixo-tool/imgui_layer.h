#pragma once
// Dear ImGui over the preview window: its SDL2 back end reads the window's input, its OpenGL 3
// back end draws the GUI into the window after the show's frame is presented and before the
// buffers swap.
union SDL_Event;
struct SDL_Window;

namespace quixo::tool {

// On the window and its current GL context. False when a back end cannot start.
bool StartGui(SDL_Window* window, void* glContext);

// Releases the back ends' GL objects and the GUI (the window's GL context current).
void StopGui();

// Hands an event to the GUI.
void GuiEvent(const SDL_Event& event);

// Whether the GUI is taking the keyboard (a text field is being edited) or the mouse.
bool GuiWantsKeyboard();
bool GuiWantsMouse();

// Begins the GUI's frame; the windows are built between this and EndGuiFrame.
void BeginGuiFrame();
void EndGuiFrame();

// Draws the GUI's last finished frame into the window (from the swap step).
void DrawGui();

}  // namespace quixo::tool
