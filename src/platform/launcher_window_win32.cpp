// The launcher window on Windows: a caption-less, always-on-top window of the system's own
// controls. Its message loop runs the dialog keys too: Tab moves between the controls, Enter
// presses the start button (id 1, IDOK) and Escape "Non" (id 2, IDCANCEL), as on Linux.
#include <windows.h>

#include "platform/launcher_window.h"
#include "platform/wide_text.h"

namespace quixo {

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_VISIBLE | WS_DLGFRAME;
constexpr DWORD kExtendedStyle = WS_EX_TOPMOST | WS_EX_CLIENTEDGE;
// The height a drop-down list is created with includes its opened part.
constexpr int kDropDownHeight = 500;

struct Launcher {
    const LauncherWindowLayout* layout;
    const LauncherOwner* owner;
    HWND window = nullptr;
    HWND list = nullptr;
    bool open = true;
};

int Selection(const Launcher& launcher) {
    const LRESULT at = SendMessageW(launcher.list, CB_GETCURSEL, 0, 0);
    return at == CB_ERR ? 0 : static_cast<int>(at);
}

void ShowTicks(const Launcher& launcher) {
    for (int i = 0; i < launcher.layout->controlCount; ++i) {
        const LauncherControlLayout& c = launcher.layout->controls[i];
        if (c.kind != LauncherControlKind::CheckBox) continue;
        const bool ticked = launcher.owner->ticked(launcher.owner->user, c.id);
        CheckDlgButton(launcher.window, c.id, ticked ? BST_CHECKED : BST_UNCHECKED);
    }
}

void Apply(Launcher& launcher, LauncherAction action, int control) {
    if (!launcher.open) return;
    launcher.open = launcher.owner->act(launcher.owner->user, action, control, Selection(launcher));
    if (!launcher.open) {
        DestroyWindow(launcher.window);
        return;
    }
    ShowTicks(launcher);
}

LRESULT CALLBACK LauncherProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* launcher = reinterpret_cast<Launcher*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_COMMAND:
            if (launcher != nullptr && HIWORD(w) == BN_CLICKED && LOWORD(w) >= 1 &&
                LOWORD(w) <= 6) {
                Apply(*launcher, LauncherAction::Control, LOWORD(w));
                return 0;
            }
            break;
        case WM_LBUTTONDOWN:
            // A press on the background drags the caption-less window.
            PostMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, l);
            break;
        case WM_DESTROY:
            // Gone some other way than through the owner (Alt+F4): that is a close.
            if (launcher != nullptr && launcher->open) {
                launcher->open = false;
                launcher->owner->act(launcher->owner->user, LauncherAction::WindowClosed, 0,
                                     Selection(*launcher));
            }
            PostQuitMessage(0);
            break;
    }
    return DefWindowProcW(window, message, w, l);
}

HWND AddControl(HWND parent, const LauncherControlLayout& c) {
    const wchar_t* kind = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    int height = c.height;
    switch (c.kind) {
        case LauncherControlKind::Label:
            break;
        case LauncherControlKind::List:
            kind = L"COMBOBOX";
            style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
            height = kDropDownHeight;
            break;
        case LauncherControlKind::CheckBox:
            kind = L"BUTTON";
            style |= BS_CHECKBOX | WS_TABSTOP;  // ticked by the owner, not by the control
            break;
        case LauncherControlKind::PushButton:
            kind = L"BUTTON";
            style |= BS_PUSHBUTTON | WS_TABSTOP;
            break;
    }
    const std::wstring text = c.text != nullptr ? WideFromUtf8(c.text) : std::wstring();
    return CreateWindowExW(0, kind, text.c_str(), style, c.x, c.y, c.width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                           GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

bool OpenLauncherScreen(ScreenArea& screen) {
    screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return true;
}

FrameSize LauncherFrameSize() {
    RECT r{0, 0, 0, 0};
    AdjustWindowRectEx(&r, kStyle, FALSE, kExtendedStyle);
    return {r.right - r.left, r.bottom - r.top};
}

void RunLauncherWindow(const LauncherWindowLayout& layout, const LauncherOwner& owner) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const std::wstring title = WideFromUtf8(layout.title);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = LauncherProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = title.c_str();
    RegisterClassExW(&windowClass);

    const FrameSize frame = LauncherFrameSize();
    Launcher launcher{&layout, &owner};
    launcher.window =
        CreateWindowExW(kExtendedStyle, title.c_str(), title.c_str(), kStyle, layout.x, layout.y,
                        layout.clientWidth + frame.width, layout.clientHeight + frame.height,
                        nullptr, nullptr, instance, nullptr);
    if (launcher.window == nullptr) {
        owner.act(owner.user, LauncherAction::WindowClosed, 0, layout.selection);
        return;
    }
    for (int i = 0; i < layout.controlCount; ++i) {
        const HWND control = AddControl(launcher.window, layout.controls[i]);
        if (layout.controls[i].kind == LauncherControlKind::List) launcher.list = control;
    }
    for (const std::string& entry : layout.listEntries) {
        SendMessageW(launcher.list, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(WideFromUtf8(entry).c_str()));
    }
    SendMessageW(launcher.list, CB_SETCURSEL, static_cast<WPARAM>(layout.selection), 0);
    ShowTicks(launcher);
    SetWindowLongPtrW(launcher.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&launcher));
    // The keyboard starts on the list, as on Linux.
    SetForegroundWindow(launcher.window);
    SetFocus(launcher.list);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsWindow(launcher.window) && IsDialogMessageW(launcher.window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace quixo
