#include "startup/launcher.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xatom.h>

#include <string>

#include "platform/message_box.h"

namespace quixo {

namespace {

constexpr const char* kTitle = "Quix launch";
constexpr int kClientWidth = 190;
constexpr int kClientHeight = 120;
// What the frame adds to each dimension of the client area for centring. The window has
// neither title bar nor frame here, so its outer size is its client size.
constexpr int kFrameSize = 0;

enum class ControlKind : std::uint8_t { Label, List, CheckBox, PushButton };

struct ControlLayout {
    int id;  // 0 for the label, which nobody addresses
    ControlKind kind;
    const char* text;
    int x, y, width, height;
};

constexpr int kListX = 80;

// Client pixels. The list's height is that of its closed field, the height of the label row;
// the drop-down part sizes itself to its entries.
constexpr ControlLayout kControls[] = {
    {0, ControlKind::Label, "Resolution", 5, 5, 90, 25},
    {kResolutionList, ControlKind::List, nullptr, kListX, 5, 110, 25},
    {kFullScreenBox, ControlKind::CheckBox, "FullScreen", 20, 40, 90, 22},
    {kVSyncBox, ControlKind::CheckBox, "VSync", 20, 62, 60, 22},
    {kAntiAliasBox, ControlKind::CheckBox, "AA", 120, 40, 40, 22},
    {kMusicBox, ControlKind::CheckBox, "Music", 120, 62, 60, 22},
    {kNonButton, ControlKind::PushButton, "Non", 15, 90, 80, 30},
    {kStartButton, ControlKind::PushButton, "Start", 100, 90, 80, 30},
};

// The inset of a label aligned inside its box, and the least size a label is shrunk to.
constexpr int kLabelMargin = 3;
constexpr int kSmallestLabelSize = 9;

constexpr LauncherEvent kBoxEvents[4] = {
    LauncherEvent::FullScreenToggled,
    LauncherEvent::VSyncToggled,
    LauncherEvent::AntiAliasToggled,
    LauncherEvent::MusicToggled,
};

class LauncherWindow : public Fl_Double_Window {
public:
    LauncherWindow(int x, int y, LauncherState& state)
        : Fl_Double_Window(x, y, kClientWidth, kClientHeight, kTitle), state_(state) {
        for (const ControlLayout& control : kControls) AddControl(control);
        end();
        border(0);
        xclass(kTitle);
        // Closing through the window manager (or Alt+F4 there) lands here.
        callback([](Fl_Widget* w, void*) {
            static_cast<LauncherWindow*>(w)->Apply(LauncherEvent::WindowClosed);
        });
    }

    // Hands one viewer action to the logic, shows the boxes as it says, and goes away when it
    // says the launcher is over. The list is read first: its selection at the moment the window
    // goes away is the resolution.
    void Apply(LauncherEvent event) {
        if (!state_.open) return;
        SelectResolution(state_, list_->value());
        HandleLauncherEvent(state_, event);
        for (int i = 0; i < 4; ++i) {
            boxes_[i]->value(IsBoxTicked(state_, static_cast<LauncherControl>(kFullScreenBox + i)));
        }
        if (!state_.open) hide();
    }

    int handle(int event) override {
        switch (event) {
            case FL_KEYBOARD:
            case FL_SHORTCUT:
                // Reached only when the focused control did not take the key; none takes
                // Enter or Escape, so they act wherever the focus is.
                if (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter) {
                    Apply(LauncherEvent::EnterKey);
                    return 1;
                }
                if (Fl::event_key() == FL_Escape) {
                    Apply(LauncherEvent::EscapeKey);
                    return 1;
                }
                break;
            case FL_PUSH:
                if (Fl_Double_Window::handle(event)) return 1;
                if (Fl::event_button() != FL_LEFT_MOUSE) return 0;
                // A press on the background: the caption-less window is dragged by it.
                dragging_ = true;
                dragX_ = Fl::event_x_root() - x();
                dragY_ = Fl::event_y_root() - y();
                return 1;
            case FL_DRAG:
            case FL_RELEASE:
                if (!dragging_) break;
                // The release moves too: pointer motion may arrive merged or not at all.
                position(Fl::event_x_root() - dragX_, Fl::event_y_root() - dragY_);
                dragging_ = event == FL_DRAG;
                return 1;
        }
        return Fl_Double_Window::handle(event);
    }

private:
    void AddControl(const ControlLayout& s) {
        switch (s.kind) {
            case ControlKind::Label: {
                auto* label = new Fl_Box(s.x, s.y, s.width, s.height, s.text);
                label->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
                FitLabelBeforeList(*label);
                break;
            }
            case ControlKind::List:
                list_ = new Fl_Choice(s.x, s.y, s.width, s.height);
                for (std::int32_t i = 0; i < state_.resolutions.count; ++i) {
                    // Added one by one: a menu path would read "/" and "&" as structure.
                    list_->add(ResolutionLabel(state_.resolutions.entries[i]).c_str(), 0, nullptr,
                               nullptr, 0);
                }
                list_->value(state_.selection);
                break;
            case ControlKind::CheckBox: {
                auto* box = new Fl_Check_Button(s.x, s.y, s.width, s.height, s.text);
                box->value(IsBoxTicked(state_, static_cast<LauncherControl>(s.id)));
                box->callback(OnControl, static_cast<long>(s.id));
                boxes_[s.id - kFullScreenBox] = box;
                break;
            }
            case ControlKind::PushButton: {
                auto* button = new Fl_Button(s.x, s.y, s.width, s.height, s.text);
                button->callback(OnControl, static_cast<long>(s.id));
                break;
            }
        }
    }

    // The label's box reaches under the list, as laid out; its text must end before the list
    // starts, so a wide default font is stepped down until it does.
    static void FitLabelBeforeList(Fl_Box& label) {
        const int room = kListX - label.x() - 2 * kLabelMargin;
        int size = label.labelsize();
        fl_font(label.labelfont(), size);
        while (size > kSmallestLabelSize && fl_width(label.label()) > room) {
            fl_font(label.labelfont(), --size);
        }
        label.labelsize(size);
    }

    static void OnControl(Fl_Widget* widget, long id) {
        auto* self = static_cast<LauncherWindow*>(widget->window());
        if (id == kStartButton) {
            self->Apply(LauncherEvent::StartPressed);
        } else if (id == kNonButton) {
            self->Apply(LauncherEvent::NonPressed);
        } else {
            self->Apply(kBoxEvents[id - kFullScreenBox]);
        }
    }

    LauncherState& state_;
    Fl_Choice* list_ = nullptr;
    Fl_Check_Button* boxes_[4] = {};
    bool dragging_ = false;
    int dragX_ = 0;
    int dragY_ = 0;
};

// Asks the window manager to keep the window above others. The property is written as well,
// which is all there is to read where no window manager runs.
void KeepAbove(Fl_Window& window) {
    Window xid = fl_xid(&window);
    Atom state = XInternAtom(fl_display, "_NET_WM_STATE", False);
    Atom above = XInternAtom(fl_display, "_NET_WM_STATE_ABOVE", False);
    XChangeProperty(fl_display, xid, state, XA_ATOM, 32, PropModeAppend,
                    reinterpret_cast<unsigned char*>(&above), 1);
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = xid;
    message.xclient.message_type = state;
    message.xclient.format = 32;
    message.xclient.data.l[0] = 1;  // add
    message.xclient.data.l[1] = static_cast<long>(above);
    message.xclient.data.l[3] = 1;  // from an application
    XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &message);
    XFlush(fl_display);
}

// The toolkit ends the process when it cannot reach a display; open it here first so that the
// caller gets to report the failure instead.
bool OpenDisplay() {
    if (fl_display) return true;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::string name = XDisplayName(nullptr);
        ShowMessageBox(
            "cannot open the launcher window: no display" +
            (name.empty() ? std::string(" (DISPLAY is not set)") : " at \"" + name + "\""));
        return false;
    }
    fl_open_display(display);
    return true;
}

}  // namespace

std::optional<LaunchSettings> RunLauncher() {
    if (!OpenDisplay()) return std::nullopt;

    int sx = 0, sy = 0, sw = 0, sh = 0;
    Fl::screen_xywh(sx, sy, sw, sh, 0);
    LauncherState state = OpenLauncher({sw, sh});

    const int outerWidth = kClientWidth + kFrameSize;
    const int outerHeight = kClientHeight + kFrameSize;
    LauncherWindow window(sx + CentredPosition(sw, outerWidth),
                          sy + CentredPosition(sh, outerHeight), state);
    window.show();
    KeepAbove(window);
    while (window.shown()) Fl::wait();
    // Let the server take the window down before the show opens its own.
    Fl::flush();
    XSync(fl_display, False);
    return state.settings;
}

}  // namespace quixo
