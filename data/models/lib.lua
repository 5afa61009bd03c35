-- The script side of the Lua models. The program runs this file once, calls init with
-- the path of dualImpl.lua, then loadModel once per model script, and evaluates the
-- models through invoke (values) and invokeDF (values with derivatives).
--
-- A model script returns a table:
--   name   = the name shown in the menus (a leading "@" hides the model there),
--   params = a list of parameters, each { name = ..., format = "%.3f", kind = 0,
--            lower = -math.huge, upper = math.huge, varied = true, default = 0 }
--            (everything but the name may be left out, with the values shown),
--   value  = function(x, p1, p2, ...) returning the model's value at the velocity x
--            (mm/s) for the parameters in declaration order.
-- value is written once for plain numbers and dual numbers: it may use the arithmetic
-- operators, comparisons and the functions of `math`, which in a script's environment
-- also take dual numbers.
-- Every call into the scripts is stopped after 5 seconds: a script caught in an endless
-- loop fails to load, and a model whose evaluation ran that long evaluates to NaN until
-- the program is started again.

local ffi = require("ffi")

ffi.cdef [[
typedef struct {
  void* info;
  void (*set_name)(void* info, const char* name);
  void (*add_param)(void* info, const char* name, const char* format, int kind,
                    double lower, double upper, int varied, double default_value);
} LuaModelContext;
]]

local double_ptr = ffi.typeof("double*")
local context_ptr = ffi.typeof("LuaModelContext*")
local cast = ffi.cast
local dual

function init(dual_path)
  dual = dofile(dual_path)
end

-- The evaluators of one model, generated for its parameter count so that the
-- parameters pass as separate arguments and every derivative is copied by name.
local function evaluators(value, np)
  local function list(pattern)
    local parts = {}
    for k = 1, np do parts[k] = (pattern:gsub("%$", tostring(k))) end
    return table.concat(parts, ", ")
  end
  local function lines(pattern)
    local parts = {}
    for k = 1, np do parts[k] = (pattern:gsub("%$", tostring(k))) end
    return table.concat(parts, "\n")
  end
  local args = np > 0 and ", " .. list("a$") or ""
  local declare = np > 0 and "local " .. list("a$") .. " = " or "local _ = "
  local text = [[
local value, seed, type = ...
local function invoke(nx, out, x, p)
  DECLARE PLAIN
  for i = 1, nx do out[i] = value(x[i] ARGS) end
end
local function invoke_df(nx, d, x, p)
  DECLARE SEEDED
  for i = 1, nx do
    local r = value(x[i] ARGS)
    local row = i * WIDTH
    if type(r) == "number" then
      d[row] = r
      ZEROS
    else
      d[row] = r.v
      COPIES
    end
  end
end
return invoke, invoke_df
]]
  text = text:gsub("DECLARE PLAIN", declare .. (np > 0 and list("p[$]") or "nil"))
    :gsub("DECLARE SEEDED", declare .. (np > 0 and list("seed(p[$], $)") or "nil"))
    :gsub("ARGS", args)
    :gsub("WIDTH", tostring(np + 1))
    :gsub("ZEROS", lines("d[row + $] = 0"))
    :gsub("COPIES", lines("d[row + $] = r.d$"))
  return assert(loadstring(text, "=evaluators"))(value, dual.types(np).seed, type)
end

local function script_environment()
  return setmetatable({ math = dual.math }, { __index = _G })
end

-- A script's text without a UTF-8 byte-order mark, which Lua would not read.
local function script_chunk(path)
  local file = assert(io.open(path, "rb"))
  local text = file:read("*a")
  file:close()
  if text:sub(1, 3) == "\239\187\191" then text = text:sub(4) end
  return assert(loadstring(text, "@" .. path))
end

function loadModel(path, context)
  local ctx = cast(context_ptr, context)
  local chunk = script_chunk(path)
  setfenv(chunk, script_environment())
  local model = chunk()
  if type(model) ~= "table" then error(path .. ": the script returns no model table", 0) end
  if type(model.value) ~= "function" then error(path .. ": the model has no value function", 0) end
  local params = model.params or {}
  if model.name ~= nil then ctx.set_name(ctx.info, tostring(model.name)) end
  for k, p in ipairs(params) do
    if type(p) ~= "table" or type(p.name) ~= "string" then
      error(path .. ": parameter " .. k .. " has no name", 0)
    end
    ctx.add_param(ctx.info, p.name, p.format or "%.3f", p.kind or 0, p.lower or -math.huge,
                  p.upper or math.huge, p.varied == false and 0 or 1, p.default or 0)
  end
  local invoke, invoke_df = evaluators(model.value, #params)
  return { np = #params, invoke = invoke, invoke_df = invoke_df }
end

local function check_count(np, model)
  if np ~= model.np then
    error("the model has " .. model.np .. " parameters, not " .. np, 0)
  end
end

function invoke(nx, np, out, x, p, model)
  check_count(np, model)
  model.invoke(nx, cast(double_ptr, out), cast(double_ptr, x), cast(double_ptr, p))
end

function invokeDF(nx, np, d, x, p, model)
  check_count(np, model)
  model.invoke_df(nx, cast(double_ptr, d), cast(double_ptr, x), cast(double_ptr, p))
end
