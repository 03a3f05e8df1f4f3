#pragma once
// A window: named controls with design-time values, a caption, and the reactions of its life
// (load, activate, query-unload, unload). Controls are members of the concrete form and
// register themselves in declaration order.

#include <string>
#include <vector>

#include "forms/control.h"
#include "forms/geometry.h"

namespace forms {

class Runtime;

// Why a window is asked to close, numbered as the query-unload reaction receives it.
enum class CloseReason { ControlMenu = 0, Code = 1, SystemShutdown = 2, TaskManager = 3 };

enum class StartPosition { Manual, CenterOwner, CenterScreen };
enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };
enum class FormProperty { Caption, WindowState };

class Form {
  public:
    Form(Runtime& runtime, std::string name, int clientWidth, int clientHeight);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form() = default;

    Runtime& runtime() const { return runtime_; }
    const std::string& name() const { return name_; }

    // Design-time appearance.
    int clientWidth;   // twips
    int clientHeight;  // twips
    Rgb backColor = colors::kButtonFace;
    Font font;
    StartPosition startPosition = StartPosition::CenterScreen;
    bool minButton = false;
    // Escape closes the window as its close box would, when no button is its cancel button.
    bool closesOnEscape = false;
    bool hasMenu() const;
    int pictureResourceId = 0;  // background bitmap, 0 for none

    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    void designCaption(std::string caption) { caption_ = std::move(caption); }

    WindowState windowState() const { return windowState_; }
    void setWindowState(WindowState state);

    bool loaded() const { return loaded_; }
    bool visible() const { return visible_; }

    const std::vector<Control*>& controls() const { return controls_; }
    Control* find(const std::string& controlName) const;
    // Menu items in menu order (drop-down items follow their parent).
    std::vector<MenuItem*> menuItems() const;

    // The control that has or last had the focus.
    Control* activeControl() const { return activeControl_; }
    // Gives a control the focus; a hidden or disabled one raises error 5 (invalid procedure
    // call): the user could not give it the focus either.
    void setFocus(Control& control);
    // Where Tab (or Shift+Tab) moves the focus from a control: the next control in tab order
    // that the keyboard reaches, wrapping around; none when no control is reachable.
    Control* nextTabStop(const Control* from, bool backward = false) const;

    // The buttons Enter and Escape press (CommandButton::isDefault, isCancel), or none.
    CommandButton* defaultButton() const;
    CommandButton* cancelButton() const;
    // Enter or Escape, as a dialog takes them from the control with the focus: Enter presses a
    // focused command button, else the default button; Escape presses the cancel button, or
    // closes a window that closesOnEscape. A press follows the one input rule, so a disabled
    // default button swallows Enter. Returns whether the window took the key; when it did not
    // (no such button), the control with the focus has it.
    bool dialogKey(int keyAscii, Control* from = nullptr);

    void show(bool modal = false);
    void hide();
    bool unload();

    // Print: one line of text on the window's surface at its current text position, which then
    // moves to the start of the next line. The lines stay on the window until it is unloaded.
    void print(std::string text);
    const std::vector<std::string>& printedLines() const { return printed_; }

    // Reactions.
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_QueryUnload(bool& /*cancel*/, CloseReason /*reason*/) {}
    virtual void Form_Unload(bool& /*cancel*/) {}

  private:
    friend class Control;
    friend class Runtime;
    void adopt(Control& control) { controls_.push_back(&control); }

    Runtime& runtime_;
    std::string name_;
    std::string caption_;
    WindowState windowState_ = WindowState::Normal;
    bool loaded_ = false;
    bool visible_ = false;
    Control* activeControl_ = nullptr;
    std::vector<Control*> controls_;
    std::vector<std::string> printed_;
};

}  // namespace forms
