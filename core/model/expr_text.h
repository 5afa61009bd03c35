// Parameter names carry super- and subscript characters (N₀, I₂/I₁); a reference may
// name them with the plain characters as well ([0:N0]).
#pragma once

// ⁰…⁹ ⁺ ⁻ ⁼ ⁽ ⁾ and ₀…₉ ₊ ₋ ₌ ₍ ₎ (U+2070 to U+208F, by code mod 16 from
// "0123456789+-=() "), ¹ ² ³ as their ASCII forms; any other character unchanged.
wchar_t normalize_script_char(wchar_t c);
