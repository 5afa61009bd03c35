// libFuzzer target for the model-file reader: any text read as a keyword file and then as
// a model either gives a model or a std::runtime_error, never a crash, a hang or another
// exception; a model it gives, written out and read again, has the same components,
// values, flags, bounds, links and ranges. The catalogue and the component line are the
// tests' stand-ins.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

#include "core/document/model_file.h"
#include "core/text/text.h"
#include "tests/support/model_file_test_parts.h"

namespace {

bool same(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || document_test::same_bits(a, b);
}

bool same(const DVector& a, const DVector& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!same(a(i), b(i)))
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const document_test::TestModelFileParts parts;
    KeywordList list;
    kwfile_load_from_memory(decode_text(std::string_view(reinterpret_cast<const char*>(data), size)), list);
    LoadedModel first;
    try {
        first = read_model_keywords(list, SpectrumModel(), parts, L"fuzz");
    } catch (const std::runtime_error&) {
        return 0;
    }
    write_model_keywords(first.model, first.values, first.flags, first.lower, first.upper, parts);
    KeywordList written = first.model.keywords;
    const LoadedModel second = read_model_keywords(written, SpectrumModel(), parts, L"again");
    bool equal = second.model.component_count() == first.model.component_count() &&
                 same(first.values, second.values) && same(first.lower, second.lower) &&
                 same(first.upper, second.upper) && first.flags == second.flags &&
                 first.model.xranges.size() == second.model.xranges.size() &&
                 first.model.expressions.size() == second.model.expressions.size();
    for (std::size_t k = 0; equal && k < first.model.component_count(); ++k)
        equal = first.model.components[k]->links == second.model.components[k]->links &&
                first.model.components[k]->color == second.model.components[k]->color;
    for (std::size_t k = 0; equal && k < first.model.xranges.size(); ++k)
        equal = same(first.model.xranges[k].from, second.model.xranges[k].from) &&
                same(first.model.xranges[k].to, second.model.xranges[k].to);
    if (!equal)
        std::abort();
    return 0;
}
