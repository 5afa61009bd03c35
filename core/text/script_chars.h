// Unicode superscript and subscript characters (Γ₁, x², ×10⁻³, Nₘₐₓ): which class a
// character is in and the plain character it stands for, shared by every place that
// draws, flattens or marks up such names so that they all agree.
#pragma once

#include <string_view>

enum class ScriptClass { Normal, Superscript, Subscript };

// Superscripts: U+00B2, U+00B3, U+00B9, U+2070, U+2071 (i), U+2074 to U+207F (n);
// subscripts: U+2080 to U+208E and the letters U+2090 to U+209C. Code points of those
// blocks that are not assigned are normal characters.
ScriptClass script_class(wchar_t c);

// The plain character a superscript or subscript stands for; other characters unchanged.
wchar_t plain_of_script(wchar_t c);

// Digits and "+-=()" as superscripts or subscripts; other characters unchanged.
wchar_t superscript_of(wchar_t c);
wchar_t subscript_of(wchar_t c);
