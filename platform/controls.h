#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quendro {

// Models of the window's controls. The procedures of the window read and write
// these; the view draws them. Setting a value from code runs the control's
// change or click handler at once, nested, exactly as a user action would.

// Left, top, width and height in twips (1/1440 inch; 15 twips are one pixel on
// screen), relative to the window or to the frame that holds the control.
struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct FontSpec {
    std::u16string name;
    double points = 9.0;
    bool bold = false;
};

enum class ControlKind {
    TextBox,
    Label,
    ListBox,
    OptionButton,
    CheckBox,
    CommandButton,
    Frame,
    DriveList,
    DirList
};

class Control {
  public:
    explicit Control(ControlKind kind) : kind_(kind) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    ControlKind kind() const { return kind_; }

    std::string name;                    // "txtBango", "optSuiro(1)"
    TwipRect position;                   // relative to the window or to container
    const Control* container = nullptr;  // the frame that holds the control
    FontSpec font;
    std::u16string tooltip;
    bool enabled = true;
    bool visible = true;
    int tabIndex = -1;  // -1: not a tab stop

  private:
    ControlKind kind_;
};

class TextBox : public Control {
  public:
    TextBox() : Control(ControlKind::TextBox) {}
    const std::u16string& text() const { return text_; }
    // Runs onChange when the text changes.
    void setText(std::u16string text);
    std::function<void()> onChange;

  private:
    std::u16string text_;
};

class Label : public Control {
  public:
    Label() : Control(ControlKind::Label) {}
    std::u16string caption;
};

class Frame : public Control {
  public:
    Frame() : Control(ControlKind::Frame) {}
    std::u16string caption;
};

class CommandButton : public Control {
  public:
    CommandButton() : Control(ControlKind::CommandButton) {}
    std::u16string caption;
    // A click on the button: runs onClick when the button is enabled.
    void click();
    std::function<void()> onClick;
};

class CheckBox : public Control {
  public:
    CheckBox() : Control(ControlKind::CheckBox) {}
    std::u16string caption;
    int value() const { return value_; }  // 0 cleared, 1 ticked
    // Runs onClick when the value changes.
    void setValue(int value);
    std::function<void()> onClick;

  private:
    int value_ = 0;
};

class ListBox : public Control {
  public:
    ListBox() : Control(ControlKind::ListBox) {}
    const std::vector<std::u16string>& items() const { return items_; }
    int listCount() const { return static_cast<int>(items_.size()); }
    // Removes every row; no row is selected afterwards and no handler runs.
    void clear();
    void addItem(std::u16string text) {
        items_.push_back(std::move(text));
        ++revision_;
    }
    // Replaces every row at once, as clear() and setItem() for each row in
    // turn would: no row is selected afterwards and no handler runs.
    void assignItems(std::vector<std::u16string> rows);
    // Changes with every change of the rows, so that a view redraws only then.
    std::uint64_t revision() const { return revision_; }
    // Sets the text of row n; n equal to the row count appends a row. False
    // (nothing changed) for any other n.
    bool setItem(int n, std::u16string text);
    // The selected row from 0, or -1 when none is selected.
    int listIndex() const { return listIndex_; }
    // Selects row n (-1: none). Runs onClick when another row becomes selected.
    // False (nothing changed) when n names no row.
    bool setListIndex(int n);
    // Selects row n as a click on it does: onClick runs also when row n was
    // selected already. False (nothing changed) when n names no row.
    bool choose(int n);
    std::function<void()> onClick;

  private:
    std::vector<std::u16string> items_;
    int listIndex_ = -1;
    std::uint64_t revision_ = 0;
};

class OptionButton : public Control {
  public:
    OptionButton() : Control(ControlKind::OptionButton) {}
    std::u16string caption;
    bool value() const { return value_; }

  private:
    friend class OptionGroup;
    bool value_ = false;
};

// An option button array: exactly one of its buttons is selected.
class OptionGroup {
  public:
    explicit OptionGroup(int count);
    int count() const { return static_cast<int>(buttons_.size()); }
    OptionButton& operator[](int index) { return *buttons_.at(static_cast<size_t>(index)); }
    const OptionButton& operator[](int index) const {
        return *buttons_.at(static_cast<size_t>(index));
    }
    int selected() const;
    // Selects button index; when that changes the selection, runs onClick(index).
    // False when index names no button.
    bool select(int index);
    std::function<void(int)> onClick;

  private:
    std::vector<std::unique_ptr<OptionButton>> buttons_;
};

class DriveList : public Control {
  public:
    DriveList() : Control(ControlKind::DriveList) {}
    const std::u16string& drive() const { return drive_; }
    // Runs onChange when the drive changes.
    void setDrive(std::u16string drive);
    // Shows the drive of the folder that the directory list moved to; no
    // handler runs, since the user chose no drive.
    void follow(std::u16string drive) { drive_ = std::move(drive); }
    std::function<void()> onChange;

  private:
    std::u16string drive_;
};

class DirList : public Control {
  public:
    DirList() : Control(ControlKind::DirList) {}
    // The folder shown, without a closing "\" unless it is a drive's top folder.
    const std::u16string& path() const { return path_; }
    // Runs onChange when the path changes.
    void setPath(std::u16string path);
    std::function<void()> onChange;

  private:
    std::u16string path_;
};

enum class MousePointer { Default, Hourglass };

}  // namespace quendro
