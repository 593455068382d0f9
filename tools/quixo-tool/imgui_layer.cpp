#include "imgui_layer.h"

#include <imgui.h>

#include "backends/imgui_impl_opengl3.h"
#include "backends/imgui_impl_sdl.h"
#include "render/gfx/window_overlay.h"

namespace quixo::tool {

namespace {
bool g_frameReady = false;  // a finished frame waits to be drawn
}  // namespace

bool StartGui(SDL_Window* window, void* glContext) {
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // no layout file left in the working directory
    ImGui::StyleColorsDark();
    return ImGui_ImplSDL2_InitForOpenGL(window, glContext) &&
           ImGui_ImplOpenGL3_Init("#version 450");
}

void StopGui() {
    ImGui_ImplOpenGL3_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
}

void GuiEvent(const SDL_Event& event) {
    ImGui_ImplSDL2_ProcessEvent(&event);
}

bool GuiWantsKeyboard() {
    return ImGui::GetIO().WantTextInput;
}

bool GuiWantsMouse() {
    return ImGui::GetIO().WantCaptureMouse;
}

void BeginGuiFrame() {
    ImGui_ImplOpenGL3_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGui::NewFrame();
}

void EndGuiFrame() {
    ImGui::Render();
    g_frameReady = true;
}

void DrawGui() {
    if (!g_frameReady) return;
    g_frameReady = false;
    gfx::DrawIntoWindow([](void*) { ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData()); },
                        nullptr);
}

}  // namespace quixo::tool
