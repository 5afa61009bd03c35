#include "core/model/model_expressions.h"

#include <boost/algorithm/string/erase.hpp>
#include <boost/algorithm/string/replace.hpp>
#include <boost/algorithm/string/trim.hpp>

#include "core/text/data_files.h"
#include "core/text/text.h"
#include "subspec/subspec.h"

namespace {

ModelExpressionMap& table()
{
    static ModelExpressionMap map;
    return map;
}

bool is_white(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

}  // namespace

// A whole line is one line however long it is: a long entry is not cut into an entry
// and a model name.
ModelExpressionMap model_expressions_parse(const std::wstring& content)
{
    ModelExpressionMap map;
    std::wstring model;
    std::size_t at = 0;
    while (at < content.size()) {
        std::size_t end = content.find(L'\n', at);
        if (end == std::wstring::npos)
            end = content.size();
        std::wstring line = content.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        const bool entry_line = !line.empty() && line.front() == L' ';
        boost::algorithm::trim_if(line, is_white);
        if (!entry_line) {
            model = line;
            continue;
        }
        const std::size_t equals = line.find(L'=');
        if (model.empty() || equals == std::wstring::npos || equals == 0 || equals + 1 == line.size())
            continue;
        map[model].push_back({line.substr(0, equals), line.substr(equals + 1)});
    }
    return map;
}

void model_expressions_load()
{
    model_expressions_load(find_data_file(L"model_expressions.txt"));
}

void model_expressions_load(const std::wstring& path)
{
    std::wstring content;
    try {
        content = read_text_file(path);
    } catch (const std::exception&) {
        return;  // no file: the table stays as it is
    }
    table() = model_expressions_parse(content);
}

const ModelExpressionList& model_expressions_find(const std::wstring& model_name)
{
    static const ModelExpressionList none;
    const ModelExpressionMap& map = table();
    auto found = map.find(model_name);
    if (found == map.end()) {
        const std::size_t qualifier = model_name.find(L" (");
        if (qualifier != std::wstring::npos)
            found = map.find(model_name.substr(0, qualifier));
    }
    return found != map.end() ? found->second : none;
}

const ModelExpressionList& model_expressions_for(const ISubSpec& subspec)
{
    return model_expressions_find(subspec.display_name());
}

std::wstring expr_text_unbound(const ModelExpressionEntry& entry)
{
    std::wstring text = entry.text;
    boost::algorithm::erase_all(text, L"[");
    boost::algorithm::erase_all(text, L"]");
    return text;
}

std::wstring expr_text_bound(const ModelExpressionEntry& entry, unsigned n)
{
    std::wstring text = entry.text;
    boost::algorithm::replace_all(text, L"[", L"[" + std::to_wstring(n) + L":");
    return text;
}
