#include "core/text/example_items.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/text/text.h"

namespace {

bool example_item(ExampleKind kind, unsigned n, std::wstring& text)
{
    const std::span<const EncipheredExample> items = stored_examples(kind);
    if (n >= items.size())
        return false;
    std::vector<unsigned char> bytes(items[n].bytes, items[n].bytes + items[n].size);
    apply_example_cipher(bytes, kind, n);
    text = utf8_to_wide(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return true;
}

} // namespace

void apply_example_cipher(std::span<unsigned char> bytes, ExampleKind kind, unsigned index)
{
    // xorshift32 from a seed that is never zero.
    std::uint32_t state = 0x9E3779B9u ^ (static_cast<std::uint32_t>(kind) << 16) ^ (index + 1);
    for (unsigned char& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte ^= static_cast<unsigned char>(state >> 24);
    }
}

bool demo_spectrum_item(unsigned n, std::wstring& text) { return example_item(ExampleKind::spectrum, n, text); }

bool demo_model_item(unsigned n, std::wstring& text) { return example_item(ExampleKind::model, n, text); }
