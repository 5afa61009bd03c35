// Predefined expressions: ready-made expressions per model type, read from the optional
// file "model_expressions.txt" beside the program, which the main window offers for the
// selected component; the entries of the model name "Transform" are spectrum transforms.
//
// File format, one line at a time: a line that begins with a blank is an entry
// "name=text" (white space trimmed at both ends, split at its first "=", which must be
// neither the first nor the last character) of the model named by the last other
// line (trimmed); entries under an empty model name are ignored. Entry texts write a
// parameter of the model as "[name]", without a component number.
//
// The table is process-wide and used only by the user-interface thread.
#pragma once

#include <map>
#include <string>
#include <vector>

class ISubSpec;

struct ModelExpressionEntry {
    std::wstring name;
    std::wstring text;

    bool operator==(const ModelExpressionEntry&) const = default;
};

using ModelExpressionList = std::vector<ModelExpressionEntry>;
// Model display name → its entries in file order (a name given twice collects both).
using ModelExpressionMap = std::map<std::wstring, ModelExpressionList>;

// The entries of a file's text, read as described above.
ModelExpressionMap model_expressions_parse(const std::wstring& content);

// Replaces the table with the content of "model_expressions.txt" (found beside the
// program, else in its parent folder); a file that cannot be read leaves the table as
// it is, without a message.
void model_expressions_load();
// The same from the file at `path`.
void model_expressions_load(const std::wstring& path);

// The entries of a model name; when it has none and contains " (", those of the part
// before the first " (" (a display name qualified by an isotope); else an empty list.
// The list stays valid until the next load.
const ModelExpressionList& model_expressions_find(const std::wstring& model_name);
const ModelExpressionList& model_expressions_for(const ISubSpec& subspec);

// The text as the menu shows it: every "[" and "]" removed.
std::wstring expr_text_unbound(const ModelExpressionEntry& entry);
// The text as a user expression of component n: every "[" becomes "[n:".
std::wstring expr_text_bound(const ModelExpressionEntry& entry, unsigned n);
