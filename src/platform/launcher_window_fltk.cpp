// The launcher window on Linux: FLTK widgets, with what FLTK leaves out (keeping the window
// above others, a display that cannot be reached) done on the X server directly.
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

#include "platform/launcher_window.h"
#include "platform/message_box.h"

namespace quixo {

namespace {

// The inset of a label aligned inside its box, and the least size a label is shrunk to.
constexpr int kLabelMargin = 3;
constexpr int kSmallestLabelSize = 9;

class LauncherWindow : public Fl_Double_Window {
public:
    LauncherWindow(const LauncherWindowLayout& layout, const LauncherOwner& owner)
        : Fl_Double_Window(layout.x, layout.y, layout.clientWidth, layout.clientHeight,
                           layout.title),
          layout_(layout),
          owner_(owner) {
        for (int i = 0; i < layout.controlCount; ++i) AddControl(layout.controls[i]);
        end();
        border(0);
        xclass(layout.title);
        // Closing through the window manager (or Alt+F4 there) lands here.
        callback([](Fl_Widget* w, void*) {
            static_cast<LauncherWindow*>(w)->Apply(LauncherAction::WindowClosed, 0);
        });
    }

    // Hands one viewer action to the owner, shows the boxes as it says, and goes away when it
    // says the launcher is over. The list is read first: its selection at the moment the window
    // goes away is the resolution.
    void Apply(LauncherAction action, int control) {
        if (!open_) return;
        open_ = owner_.act(owner_.user, action, control, list_ ? list_->value() : 0);
        for (Fl_Check_Button* box : boxes_) {
            box->value(owner_.ticked(owner_.user, static_cast<int>(box->argument())));
        }
        if (!open_) hide();
    }

    int handle(int event) override {
        switch (event) {
            case FL_KEYBOARD:
            case FL_SHORTCUT:
                // Reached only when the focused control did not take the key; none takes
                // Enter or Escape, so they act wherever the focus is.
                if (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter) {
                    Apply(LauncherAction::EnterKey, 0);
                    return 1;
                }
                if (Fl::event_key() == FL_Escape) {
                    Apply(LauncherAction::EscapeKey, 0);
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
    void AddControl(const LauncherControlLayout& s) {
        switch (s.kind) {
            case LauncherControlKind::Label: {
                auto* label = new Fl_Box(s.x, s.y, s.width, s.height, s.text);
                label->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
                FitLabelBeforeList(*label);
                break;
            }
            case LauncherControlKind::List:
                list_ = new Fl_Choice(s.x, s.y, s.width, s.height);
                for (const std::string& entry : layout_.listEntries) {
                    // Added one by one: a menu path would read "/" and "&" as structure.
                    list_->add(entry.c_str(), 0, nullptr, nullptr, 0);
                }
                list_->value(layout_.selection);
                break;
            case LauncherControlKind::CheckBox: {
                auto* box = new Fl_Check_Button(s.x, s.y, s.width, s.height, s.text);
                box->value(owner_.ticked(owner_.user, s.id));
                box->callback(OnControl, static_cast<long>(s.id));
                boxes_.push_back(box);
                break;
            }
            case LauncherControlKind::PushButton: {
                auto* button = new Fl_Button(s.x, s.y, s.width, s.height, s.text);
                button->callback(OnControl, static_cast<long>(s.id));
                break;
            }
        }
    }

    // The label's box reaches under the list, as laid out; its text must end before the list
    // starts, so a wide default font is stepped down until it does.
    void FitLabelBeforeList(Fl_Box& label) const {
        int listX = layout_.clientWidth;
        for (int i = 0; i < layout_.controlCount; ++i) {
            if (layout_.controls[i].kind == LauncherControlKind::List)
                listX = layout_.controls[i].x;
        }
        const int room = listX - label.x() - 2 * kLabelMargin;
        int size = label.labelsize();
        fl_font(label.labelfont(), size);
        while (size > kSmallestLabelSize && fl_width(label.label()) > room) {
            fl_font(label.labelfont(), --size);
        }
        label.labelsize(size);
    }

    static void OnControl(Fl_Widget* widget, long id) {
        static_cast<LauncherWindow*>(widget->window())
            ->Apply(LauncherAction::Control, static_cast<int>(id));
    }

    const LauncherWindowLayout& layout_;
    const LauncherOwner& owner_;
    bool open_ = true;
    Fl_Choice* list_ = nullptr;
    std::vector<Fl_Check_Button*> boxes_;
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

}  // namespace

bool OpenLauncherScreen(ScreenArea& screen) {
    // The toolkit ends the process when it cannot reach a display; open it here first so that
    // the caller gets to report the failure instead.
    if (!fl_display) {
        Display* display = XOpenDisplay(nullptr);
        if (!display) {
            std::string name = XDisplayName(nullptr);
            ShowMessageBox(
                "cannot open the launcher window: no display" +
                (name.empty() ? std::string(" (DISPLAY is not set)") : " at \"" + name + "\""));
            return false;
        }
        fl_open_display(display);
    }
    Fl::screen_xywh(screen.x, screen.y, screen.width, screen.height, 0);
    return true;
}

FrameSize LauncherFrameSize() {
    // The window has neither title bar nor frame here, so its outer size is its client size.
    return {0, 0};
}

void RunLauncherWindow(const LauncherWindowLayout& layout, const LauncherOwner& owner) {
    LauncherWindow window(layout, owner);
    window.show();
    KeepAbove(window);
    while (window.shown()) Fl::wait();
    // Let the server take the window down before the show opens its own.
    Fl::flush();
    XSync(fl_display, False);
}

}  // namespace quixo
