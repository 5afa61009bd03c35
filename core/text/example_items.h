// The example spectra and example models built into the program: keyword texts kept
// enciphered in the program file, so that they do not show there as plain text, and
// deciphered on each call. tools/make_examples.cpp simulates them and writes
// example_items_data.cpp.
#pragma once

#include <cstddef>
#include <span>
#include <string>

// Item n as keyword text; false when there is no item n.
bool demo_spectrum_item(unsigned n, std::wstring& text);
bool demo_model_item(unsigned n, std::wstring& text);

// The cipher of the stored items, its own inverse: the bytes XOR a key stream drawn from
// the item's key (its kind and index), so that equal texts do not look alike.
enum class ExampleKind : unsigned { spectrum = 1, model = 2 };
void apply_example_cipher(std::span<unsigned char> bytes, ExampleKind kind, unsigned index);

// One enciphered item: its UTF-8 bytes after apply_example_cipher.
struct EncipheredExample {
    const unsigned char* bytes;
    std::size_t size;
};
// The stored items, from example_items_data.cpp.
std::span<const EncipheredExample> stored_examples(ExampleKind kind);
