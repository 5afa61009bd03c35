-- A Gaussian singlet written as a Lua model: one line of area I at the position δ
-- (mm/s) with the full width Γ at half maximum,
--     value(x) = I·(2/Γ)·√(ln 2/π)·exp(−ln 2·(2(x − δ)/Γ)²).
-- Copy this file into the "models" folder beside the program to use it.
local ln2 = math.log(2)
local norm = 2 * math.sqrt(ln2 / math.pi)

return {
  name = "Gauss singlet (Lua)",
  params = {
    { name = "I", format = "%.3f", kind = 5, lower = 0, default = 1 },
    { name = "δ", format = "%.3f", kind = 1, default = 0 },
    { name = "Γ", format = "%.3f", kind = 9, lower = 0, default = 0.3 },
  },
  value = function(x, area, shift, width)
    local t = 2 * (x - shift) / width
    return area * norm / width * math.exp(-ln2 * t * t)
  end,
}
