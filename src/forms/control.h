#pragma once
// The controls of a form. Each control holds its design-time appearance (set by the form's
// constructor) and its runtime properties. Setters notify the backend and raise the control's
// reaction exactly as the user's change would, and raise nothing when the value is unchanged.

#include <functional>
#include <string>
#include <vector>

#include "forms/geometry.h"

namespace forms {

class Form;

enum class ControlKind {
    Label,
    TextBox,
    CommandButton,
    CheckBox,
    ComboBox,
    ListBox,
    FileListBox,
    Frame,
    Shape,
    Line,
    Picture,
    MenuItem,
};

// Who changed a property: the program (recorded, mirrored to the screen) or the user (already
// on the screen; the backend reports it).
enum class Origin { Program, User };

enum class Property { Text, Enabled, Visible, Value, ListIndex, Selection };

// The two keys a window takes for its buttons (Form::dialogKey), as the characters they type.
inline constexpr int kKeyReturn = 13;
inline constexpr int kKeyEscape = 27;

class Control {
  public:
    Control(Form& form, ControlKind kind, std::string name, Twips rect);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    Form& form() const { return form_; }
    ControlKind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    std::string path() const;  // "Form1.Text1"

    // The control it lies in (a frame or a picture), or none for the form itself.
    Control* container() const { return container_; }
    void placeIn(Control& container) { container_ = &container; }

    // Design-time appearance, fixed once the form is constructed.
    Twips rect;
    Font font;
    Rgb foreColor = colors::kWindowText;
    Rgb backColor = colors::kButtonFace;
    bool backTransparent = true;  // labels take the form's colour unless given their own
    Alignment alignment = Alignment::Left;
    int tabIndex = -1;  // -1: not in the tab order
    bool tabStop = false;

    // The caption of a label, button, check box, frame or menu item; the text of a text box or
    // combo box. Setting it raises the change reaction of a text box or combo box.
    const std::string& text() const { return text_; }
    void setText(std::string value, Origin origin = Origin::Program);

    bool visible() const { return visible_; }
    void setVisible(bool visible, Origin origin = Origin::Program);
    // Visible itself and in every container up to the form.
    bool shownInForm() const;

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled, Origin origin = Origin::Program);
    // Enabled itself, in every container up to the form and, for a menu item, in every menu
    // above it.
    bool enabledInForm() const;
    // Its rectangle in the window's client area: the containers' offsets added.
    Twips rectInForm() const;
    // A tab stop, shown and enabled in its window, and not lying wholly outside the window's
    // client area: what the eye cannot see, the keyboard cannot reach (Runtime adds the
    // window's own state).
    bool keyboardPlaceable() const;

    // Design-time initial values, without notification or reaction.
    void designText(std::string value) { text_ = std::move(value); }
    void designVisible(bool visible) { visible_ = visible; }
    void designEnabled(bool enabled) { enabled_ = enabled; }

    // Reactions, wired by the form.
    std::function<void()> onClick;
    std::function<void()> onChange;

    // The user clicked the control (a button press, a label click, a menu choice).
    virtual void userClick();
    // The user replaced the text.
    void userType(std::string value) { setText(std::move(value), Origin::User); }

  protected:
    void notify(Property property, Origin origin);
    // Runs a reaction through the form's runtime, so an untrapped error stops the program.
    // event names the reaction for error reports: "Click" makes "Command1_Click".
    void raise(const std::function<void()>& reaction, const char* event);
    virtual void textChanged() {}

  private:
    Form& form_;
    ControlKind kind_;
    std::string name_;
    Control* container_ = nullptr;
    std::string text_;
    bool visible_ = true;
    bool enabled_ = true;
};

class Label : public Control {
  public:
    Label(Form& form, std::string name, Twips rect, std::string caption);
    int indent = 0;  // twips of the label's own background left of its text
};

class TextBox : public Control {
  public:
    TextBox(Form& form, std::string name, Twips rect, std::string text);

    bool multiLine = false;
    bool locked = false;
    int maxLength = 0;  // 0: no limit

    // Caret and selection, in characters.
    int selStart() const { return selStart_; }
    int selLength() const { return selLength_; }
    // Values past the end are clipped to the text's length, as the edit control clips them.
    void setSelStart(int start);
    void setSelLength(int length);
    std::string selectedText() const;

    // A key typed into the box: the key press reaction may change or cancel the character
    // (0); a printable character that remains replaces the selection.
    std::function<void(int& keyAscii)> onKeyPress;
    // Runs the key press reaction only and returns the character that remains (0: none); a
    // backend whose native box inserts characters itself calls this.
    int keyPress(int keyAscii);
    // Escape, and Enter in a single-line box, go to the window's buttons first
    // (Form::dialogKey). A key the window takes is neither seen by the key press reaction nor
    // inserted; every backend asks this before keyPress.
    bool takenByWindow(int keyAscii);
    // The whole key: the window's buttons, the reaction, then the insertion into the text.
    void userKey(int keyAscii);

  protected:
    void textChanged() override;

  private:
    int selStart_ = 0;
    int selLength_ = 0;
};

class CommandButton : public Control {
  public:
    CommandButton(Form& form, std::string name, Twips rect, std::string caption);
    bool isDefault = false;  // pressed by Enter
    bool isCancel = false;   // pressed by Escape
};

class CheckBox : public Control {
  public:
    CheckBox(Form& form, std::string name, Twips rect, std::string caption);

    // 0 unchecked, 1 checked, 2 grey. A change raises the click reaction.
    int value() const { return value_; }
    void setValue(int value, Origin origin = Origin::Program);
    void designValue(int value) { value_ = value; }
    // The user's click toggles between 0 and 1.
    void userClick() override;

  private:
    int value_ = 0;
};

// Combo box, list box and file list box: entries and a selected index (-1 for none).
class ListControl : public Control {
  public:
    ListControl(Form& form, ControlKind kind, std::string name, Twips rect);

    const std::vector<std::string>& items() const { return items_; }
    void addItem(std::string item);
    // Adds entries at the end as addItem would one by one, keeping the selection; the backend
    // hears of it once.
    void addItems(const std::vector<std::string>& items);
    void clear();
    void setItems(std::vector<std::string> items);

    int listIndex() const { return listIndex_; }
    // A change raises the click reaction; an index outside the entries raises error 381.
    void setListIndex(int index, Origin origin = Origin::Program);
    void userSelect(int index) { setListIndex(index, Origin::User); }

  private:
    std::vector<std::string> items_;
    int listIndex_ = -1;
};

class ComboBox : public ListControl {
  public:
    ComboBox(Form& form, std::string name, Twips rect, std::string text);
};

class ListBox : public ListControl {
  public:
    ListBox(Form& form, std::string name, Twips rect);
};

// Lists the current folder's files that match a pattern; the form fills it from the files
// service when it is refreshed.
class FileListBox : public ListControl {
  public:
    FileListBox(Form& form, std::string name, Twips rect, std::string pattern);
    const std::string& pattern() const { return pattern_; }

  private:
    std::string pattern_;
};

class Frame : public Control {
  public:
    Frame(Form& form, std::string name, Twips rect, std::string caption);
};

// Passive decoration: rectangles, lines and pictures react to nothing.
class Shape : public Control {
  public:
    Shape(Form& form, std::string name, Twips rect);
    Rgb borderColor = colors::kWindowText;
};

class Line : public Control {
  public:
    // rect holds the two end points: (left, top) to (left + width, top + height).
    Line(Form& form, std::string name, Twips rect);
    Rgb borderColor = colors::kWindowText;
};

class Picture : public Control {
  public:
    Picture(Form& form, std::string name, Twips rect);
    int resourceId = 0;  // bitmap resource shown, 0 for none
    bool border = true;
};

class MenuItem : public Control {
  public:
    // parent: the menu it drops down from, or none for an item on the menu bar.
    MenuItem(Form& form, std::string name, std::string caption, MenuItem* parent);
    MenuItem* parent() const { return parent_; }
    bool isSeparator() const { return text() == "-"; }

  private:
    MenuItem* parent_;
};

}  // namespace forms
