#include "forms/form.h"

#include <stdexcept>

namespace trevalon::forms {

const Control& Form::Get(std::string_view wanted, int index) const {
    for (const Control& control : controls) {
        if (control.name == wanted && control.index == index) return control;
    }
    throw std::out_of_range(std::string(name) + " has no " + std::string(wanted) +
                            (index >= 0 ? "(" + std::to_string(index) + ")" : std::string()));
}

std::vector<const Control*> Form::Array(std::string_view wanted) const {
    std::vector<const Control*> elements;
    for (const Control& control : controls) {
        if (control.name != wanted || control.index < 0) continue;
        const auto at = static_cast<std::size_t>(control.index);
        if (elements.size() <= at) elements.resize(at + 1, nullptr);
        elements[at] = &control;
    }
    return elements;
}

std::vector<const Control*> Form::In(std::string_view container, int index) const {
    std::vector<const Control*> inside;
    for (const Control& control : controls) {
        if (control.container == container && control.containerIndex == index)
            inside.push_back(&control);
    }
    return inside;
}

std::string QualifiedName(const Control& control) {
    std::string name(control.name);
    if (control.index >= 0) name += "_" + std::to_string(control.index);
    return name;
}

char AccessKey(std::string_view caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] != '&') return caption[i + 1];
        ++i;
    }
    return 0;
}

std::string PlainCaption(std::string_view caption) {
    std::string plain;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        plain += caption[i];
    }
    return plain;
}

std::string ShortcutText(const Shortcut& shortcut) {
    std::string text = shortcut.ctrl ? "Ctrl+" : "";
    if (shortcut.function > 0) return text + "F" + std::to_string(shortcut.function);
    if (shortcut.key != 0) return text + shortcut.key;
    return {};
}

}  // namespace trevalon::forms
