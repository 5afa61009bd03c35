// The pieces of markup the results report and the distribution statistics page are
// made of: escaped texts, headings, description tables, parameter cells and lines, and
// parameter names whose superscripts, subscripts and suffixes become markup. Each
// appends to the page being composed.
#pragma once

#include <string>
#include <string_view>

#include "core/spectrum/spectrum_data.h"
#include "core/text/kwfile.h"

// A copy with '&', '<' and '%' as decimal character references; nothing else changes.
std::wstring html_escape(std::wstring_view text);

// "<hN>text</hN>\n", the text as given.
void html_heading(std::wstring& page, int level, std::wstring_view text);

// A table of class "desc" with a row (escaped key, escaped value) per entry not hidden.
void html_desc_table(std::wstring& page, const KeywordList& list);
void html_desc_table(std::wstring& page, const PropertyList& list);

// An inline cell "<c><n>name</n><v>value</v></c>": the name marked up by
// html_param_name, the value escaped here. Counts the cells of the open row.
void html_param_cell(std::wstring& page, unsigned& cells, std::wstring_view name, std::wstring_view value_text);

// A cell on a line of its own; name and value are written as given (already escaped).
void html_param_line(std::wstring& page, std::wstring_view name, std::wstring_view value_text);

// A parameter name: "X…" (more than one character) overlined without its X, a name
// ending in "L", "R" or "max" with that suffix as a subscript, any other name scripted.
void html_param_name(std::wstring& page, std::wstring_view name);

// The text with '%', '&' and '<' escaped and each superscript or subscript character
// as its plain character in its own "sup" or "sub" element.
void html_scripted_name(std::wstring& page, std::wstring_view text);
void html_scripted_tail(std::wstring& page, std::wstring_view name);

// False when the name is not longer than the suffix or does not end with it; else
// appends the scripted stem with the scripted suffix in a "sub" element.
bool html_subscript_suffix(std::wstring& page, std::wstring_view name, std::wstring_view suffix);

// The page as it goes to the file: every run of superscript or of subscript characters
// becomes its plain characters inside one "sup" or "sub" element.
std::wstring html_script_runs(std::wstring_view text);
