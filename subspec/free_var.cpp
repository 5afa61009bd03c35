#include "subspec/free_var.h"

#include <utility>

#include "core/text/ui_seam.h"

void FreeVar::init_params(const Isotope*, const SpectrumAnalysis&, std::span<double> p) const
{
    p[0] = 0.0;
}

bool FreeVar::set_defaults(const std::wstring&)
{
    kwlist_set(data_, L"Name", L"");
    return true;
}

bool FreeVar::load_extra(const std::wstring& text)
{
    kwlist_from_string(text, data_);
    if (!kwlist_has(data_, L"Name"))
        kwlist_set(data_, L"Name", L"");
    return true;
}

std::wstring FreeVar::save_extra() const
{
    return kwlist_to_string(data_);
}

bool FreeVar::edit_properties()
{
    KeywordList edited = data_;
    if (user_interface().edit_keyword_list(edited, 0, std::wstring()) != 1)
        return false;
    data_ = std::move(edited);
    return true;
}

std::wstring FreeVar::description() const
{
    std::wstring name;
    kwlist_find(data_, L"Name", name);
    return name;
}
