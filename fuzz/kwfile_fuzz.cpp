// Fuzz target for the keyword-file reader and the one-line form. Beyond crashes it
// checks the round trips: a list read from any text, and a list of any keys and
// values built through the one-line form, must be written so that it reads back the
// same, in the file form and in the one-line form.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

#include "core/text/kwfile.h"
#include "core/text/text.h"

namespace {

KeywordList stored(const KeywordList& list)
{
    KeywordList out;
    for (const auto& [key, data] : list)
        if (!(data.flags & KWTransient)) out.emplace_back(key, KWData{data.value, 0});
    return out;
}

void check(bool ok, const char* what)
{
    if (ok) return;
    std::fprintf(stderr, "round trip broken: %s\n", what);
    std::abort();
}

void check_file_round_trip(const KeywordList& list)
{
    KeywordList back;
    kwfile_load_from_memory(kwfile_save_to_memory(list), back);
    check(back == stored(list), "file form");
}

void check_one_line_round_trip(const KeywordList& list)
{
    KeywordList back;
    kwlist_from_string(kwlist_to_string(list), back);
    KeywordList expected;
    for (const auto& entry : list)
        if (!(entry.second.flags & KWTransient)) expected.push_back(entry);
    check(back == expected, "one-line form");
}

void read_numbers(const KeywordList& list)
{
    for (size_t i = 0; i < list.size() && i < 4; ++i) {
        const std::wstring& key = list[i].first;
        int n = 0;
        double x = 0;
        std::vector<double> xs;
        try {
            kwlist_get_int(list, key, n);
        } catch (const std::runtime_error&) {
        }
        kwlist_get_double(list, key, x);
        try {
            kwlist_get_doubles(list, key, xs);
        } catch (const std::runtime_error&) {
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::wstring text = decode_text(std::string_view(reinterpret_cast<const char*>(data), size));

    KeywordList file_list;
    kwfile_load_from_memory(text, file_list);
    check_file_round_trip(file_list);
    check_one_line_round_trip(file_list);
    read_numbers(file_list);

    KeywordList any_list;
    kwlist_from_string(text, any_list);
    check_one_line_round_trip(any_list);
    check_file_round_trip(any_list);
    read_numbers(any_list);
    return 0;
}
