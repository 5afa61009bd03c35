// Boost.Format under the "C" locale: the decimal point of every number the program
// writes into texts that are read back (files, expression texts) whatever the user's.
#pragma once

#include <locale>
#include <string>
#include <string_view>

#include <boost/format.hpp>

inline boost::wformat c_format(std::wstring_view format)
{
    return boost::wformat(std::wstring(format), std::locale::classic());
}
