-- A Lorentz singlet written as a Lua model: one line of area I at the position δ
-- (mm/s) with the full width Γ at half maximum. Copy this file into the "models"
-- folder beside the program, give it a name of its own, and it appears in the
-- add-subspectrum menu at the next start.
--
-- kind: the quantity a parameter stands for (5 area, 1 shift, 9 width, 2 quadrupole
-- splitting, 6 ratio of intensities); links offer only targets of the same kind.
local pi = math.pi

return {
  name = "Lorentz singlet (Lua)",
  params = {
    { name = "I", format = "%.3f", kind = 5, lower = 0, default = 1 },
    { name = "δ", format = "%.3f", kind = 1, default = 0 },
    { name = "Γ", format = "%.3f", kind = 9, lower = 0, default = 0.3 },
  },
  value = function(x, area, shift, width)
    local t = 2 * (x - shift) / width
    return 2 * area / (pi * width * (1 + t * t))
  end,
}
