-- Dual numbers for the derivatives of Lua models: a value and the derivatives by each
-- of a model's n parameters, carried through every operation (the sum and difference
-- act per component, products and quotients follow their rules, a function f applies
-- as f(value) with every derivative multiplied by f'(value)).
--
-- For each n the type is a C structure { double v, d1, ..., dn; } whose operators are
-- generated with every loop over the derivatives written out, so that LuaJIT compiles a
-- model's formula into straight code and keeps the temporaries out of the heap.
--
-- The module: types(n) gives { new = constructor, seed = function(value, k) }, math
-- holds the standard math functions extended to dual numbers, value(x) the value of a
-- number or dual number.

local ffi = require("ffi")

local type, setmetatable = type, setmetatable
local mexp, mlog, msqrt, mabs = math.exp, math.log, math.sqrt, math.abs
local msin, mcos, mtan, masin, macos, matan = math.sin, math.cos, math.tan, math.asin, math.acos, math.atan

-- "a.d1 <op> b.d1, a.d2 <op> b.d2, ...": `pattern` with "$" replaced by each field index.
local function each(n, pattern, separator)
  local parts = {}
  for k = 1, n do
    parts[k] = (pattern:gsub("%$", tostring(k)))
  end
  return table.concat(parts, separator or ", ")
end

-- The source of the metatable of n derivatives. `D` is the constructor, bound later.
local function source(n)
  local function args(pattern) return n > 0 and ", " .. each(n, pattern) or "" end
  local text = ([[
local D, mlog = ...
local type = type
local mt = { __index = {} }
mt.__add = function(a, b)
  if type(a) == "number" then return D(a + b.v ARGS_B) end
  if type(b) == "number" then return D(a.v + b ARGS_A) end
  return D(a.v + b.v ARGS_ADD)
end
mt.__sub = function(a, b)
  if type(a) == "number" then return D(a - b.v ARGS_NEGB) end
  if type(b) == "number" then return D(a.v - b ARGS_A) end
  return D(a.v - b.v ARGS_SUB)
end
mt.__mul = function(a, b)
  if type(a) == "number" then return D(a * b.v ARGS_SCALEB) end
  if type(b) == "number" then return D(a.v * b ARGS_SCALEA) end
  local av, bv = a.v, b.v
  return D(av * bv ARGS_MUL)
end
-- Values divide as plain numbers do, so a formula's value is the same on both.
mt.__div = function(a, b)
  if type(b) == "number" then
    local k = 1 / b
    return D(a.v / b ARGS_KA)
  end
  local bv = b.v
  if type(a) == "number" then
    local f = a / bv
    local g = -f / bv
    return D(f ARGS_GB)
  end
  local f = a.v / bv
  local ib = 1 / bv
  return D(f ARGS_DIV)
end
mt.__unm = function(a) return D(-a.v ARGS_NEGA) end
mt.__pow = function(a, b)
  if type(b) == "number" then
    local av = a.v
    local g = b * av ^ (b - 1)
    return D(av ^ b ARGS_GA)
  end
  if type(a) == "number" then
    local f = a ^ b.v
    local g = f * mlog(a)
    return D(f ARGS_GB)
  end
  local f = a.v ^ b.v
  local la = mlog(a.v)
  local ia = b.v / a.v
  return D(f ARGS_POW)
end
local function value(x) if type(x) == "number" then return x end return x.v end
mt.__lt = function(a, b) return value(a) < value(b) end
mt.__le = function(a, b) return value(a) <= value(b) end
mt.__tostring = function(a) return "dual(" .. a.v .. ")" end
-- f(value) with the derivatives times g = f'(value).
mt.__index.apply = function(a, f, g) return D(f ARGS_GA) end
return mt
]])
    :gsub("ARGS_B", args("b.d$"))
    :gsub("ARGS_ADD", args("a.d$ + b.d$"))
    :gsub("ARGS_SUB", args("a.d$ - b.d$"))
    :gsub("ARGS_NEGB", args("-b.d$"))
    :gsub("ARGS_NEGA", args("-a.d$"))
    :gsub("ARGS_SCALEB", args("a * b.d$"))
    :gsub("ARGS_SCALEA", args("b * a.d$"))
    :gsub("ARGS_MUL", args("a.d$ * bv + av * b.d$"))
    :gsub("ARGS_KA", args("a.d$ * k"))
    :gsub("ARGS_GB", args("g * b.d$"))
    :gsub("ARGS_GA", args("g * a.d$"))
    :gsub("ARGS_DIV", args("(a.d$ - f * b.d$) * ib"))
    :gsub("ARGS_POW", args("f * (b.d$ * la + ia * a.d$)"))
    :gsub("ARGS_A", args("a.d$"))
  return text
end

local cache = {}

local function types(n)
  local t = cache[n]
  if t then return t end
  local fields = n > 0 and "double v, " .. each(n, "d$") .. ";" or "double v;"
  -- The ctype is its own constructor; metatype attaches the operators to it.
  local constructor = ffi.typeof("struct { " .. fields .. " }")
  ffi.metatype(constructor, assert(loadstring(source(n), "=dual" .. n))(constructor, mlog))
  local seeds = {}
  for k = 1, n do
    local init = { 0 }
    for j = 1, n do init[j + 1] = (j == k) and 1 or 0 end
    seeds[k] = init
  end
  t = {
    new = constructor,
    seed = function(value, k)
      local init = seeds[k]
      init[1] = value
      return constructor(unpack(init, 1, n + 1))
    end,
  }
  cache[n] = t
  return t
end

local function value(x)
  if type(x) == "number" then return x end
  return x.v
end

-- f and f' lifted to numbers and dual numbers; fd(v, f(v)) gives f'(v).
local function lift(f, fd)
  return function(x)
    if type(x) == "number" then return f(x) end
    local v = x.v
    local fv = f(v)
    return x:apply(fv, fd(v, fv))
  end
end

local dmath = setmetatable({
  exp = lift(mexp, function(_, f) return f end),
  log = lift(mlog, function(v) return 1 / v end),
  sqrt = lift(msqrt, function(_, f) return 0.5 / f end),
  abs = lift(mabs, function(v) return v < 0 and -1 or (v > 0 and 1 or 0) end),
  sin = lift(msin, function(v) return mcos(v) end),
  cos = lift(mcos, function(v) return -msin(v) end),
  tan = lift(mtan, function(_, f) return 1 + f * f end),
  asin = lift(masin, function(v) return 1 / msqrt(1 - v * v) end),
  acos = lift(macos, function(v) return -1 / msqrt(1 - v * v) end),
  atan = lift(matan, function(v) return 1 / (1 + v * v) end),
  pow = function(a, b) return a ^ b end,
  min = function(a, b) if value(b) < value(a) then return b end return a end,
  max = function(a, b) if value(b) > value(a) then return b end return a end,
}, { __index = math })

return { types = types, math = dmath, value = value }
