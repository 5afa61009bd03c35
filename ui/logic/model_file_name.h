// The name the main window keeps for its model: the file it was opened from or last
// saved to, or the title of the example model it came from, which names no file.
#pragma once

#include <optional>
#include <string>

class ModelFileName {
public:
    // A new model, or one whose file is no longer its own.
    void clear() { name_.clear(), example_ = false; }
    void set_file(const std::wstring& path) { name_ = path, example_ = false; }
    void set_example(const std::wstring& title) { name_ = title, example_ = true; }

    // The path or the example's title; empty for a new model.
    const std::wstring& name() const { return name_; }
    bool is_example() const { return example_; }
    // The file a quick save writes; none when the user must choose one: a new model, or an
    // example, whose title would otherwise become a file in whatever the working folder is.
    std::optional<std::wstring> quick_save_target() const;
    // The name the save dialog proposes: the model's name, else the stem of the spectrum's
    // name (without its folder and its last extension).
    std::wstring proposed_name(const std::wstring& spectrum_name) const;

private:
    std::wstring name_;
    bool example_ = false;
};

// The folder of an absolute path: the path cut at its last '\' or '/', with trailing
// separators removed; empty when it has no separator.
std::wstring parent_folder(const std::wstring& path);
