-- wrk script: POST /query.php for existing codes, round robin.
-- Script argument 1: a file with one code per line.
local codes = {}
local next_code = 0
local body_prefix = ""

function init(args)
  for line in io.lines(args[1]) do
    if #line > 0 then codes[#codes + 1] = line end
  end
  assert(#codes > 0, "no codes in " .. args[1])
  next_code = math.random(#codes)
  body_prefix = "tinyurl=http://" .. wrk.host .. ":" .. wrk.port .. "/"
end

local headers = { ["Content-Type"] = "application/x-www-form-urlencoded" }

function request()
  next_code = next_code % #codes + 1
  return wrk.format("POST", "/query.php", headers,
                    body_prefix .. codes[next_code] .. "&access_type=web")
end
