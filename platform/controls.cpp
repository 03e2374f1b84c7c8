#include "platform/controls.h"

#include <memory>

namespace quendro {

void TextBox::setText(std::u16string text) {
    if (text == text_) return;
    text_ = std::move(text);
    if (onChange) onChange();
}

void CommandButton::click() {
    if (enabled && onClick) onClick();
}

void CheckBox::setValue(int value) {
    if (value == value_) return;
    value_ = value;
    if (onClick) onClick();
}

void ListBox::clear() {
    items_.clear();
    listIndex_ = -1;
    ++revision_;
}

void ListBox::assignItems(std::vector<std::u16string> rows) {
    items_ = std::move(rows);
    listIndex_ = -1;
    ++revision_;
}

bool ListBox::setItem(int n, std::u16string text) {
    if (n < 0 || n > listCount()) return false;
    if (n == listCount()) {
        items_.push_back(std::move(text));
    } else {
        items_[static_cast<size_t>(n)] = std::move(text);
    }
    ++revision_;
    return true;
}

bool ListBox::setListIndex(int n) {
    if (n < -1 || n >= listCount()) return false;
    if (n == listIndex_) return true;
    listIndex_ = n;
    if (n >= 0 && onClick) onClick();
    return true;
}

bool ListBox::choose(int n) {
    if (n < 0 || n >= listCount()) return false;
    if (n != listIndex_) return setListIndex(n);
    if (onClick) onClick();
    return true;
}

OptionGroup::OptionGroup(int count) {
    for (int i = 0; i < count; ++i) buttons_.push_back(std::make_unique<OptionButton>());
}

int OptionGroup::selected() const {
    for (size_t i = 0; i < buttons_.size(); ++i) {
        if (buttons_[i]->value_) return static_cast<int>(i);
    }
    return -1;
}

bool OptionGroup::select(int index) {
    if (index < 0 || index >= count()) return false;
    if (buttons_[static_cast<size_t>(index)]->value_) return true;
    for (auto& button : buttons_) button->value_ = false;
    buttons_[static_cast<size_t>(index)]->value_ = true;
    if (onClick) onClick(index);
    return true;
}

void DriveList::setDrive(std::u16string drive) {
    if (drive == drive_) return;
    drive_ = std::move(drive);
    if (onChange) onChange();
}

void DirList::setPath(std::u16string path) {
    if (path == path_) return;
    path_ = std::move(path);
    if (onChange) onChange();
}

}  // namespace quendro
