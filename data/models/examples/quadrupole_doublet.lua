-- A quadrupole doublet of Lorentz lines written as a Lua model: two lines at δ − ε and
-- δ + ε (mm/s) with the full width Γ, of areas I/(1 + R) and I·R/(1 + R), R = I₂/I₁,
-- so the doublet has the area I. Copy this file into the "models" folder beside the
-- program to use it.
local pi = math.pi

local function lorentz(x, area, position, width)
  local t = 2 * (x - position) / width
  return 2 * area / (pi * width * (1 + t * t))
end

return {
  name = "Quadrupole doublet (Lua)",
  params = {
    { name = "I", format = "%.3f", kind = 5, lower = 0, default = 1 },
    { name = "I₂/I₁", format = "%.3f", kind = 6, lower = 0, default = 1, varied = false },
    { name = "δ", format = "%.3f", kind = 1, default = 0 },
    { name = "ε", format = "%.3f", kind = 2, default = 0.5 },
    { name = "Γ", format = "%.3f", kind = 9, lower = 0, default = 0.3 },
  },
  value = function(x, area, ratio, shift, splitting, width)
    local first = area / (1 + ratio)
    return lorentz(x, first, shift - splitting, width) + lorentz(x, first * ratio, shift + splitting, width)
  end,
}
