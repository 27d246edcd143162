-- wrk script: 90 % POST /query.php of existing codes, 10 % POST /create.php
-- of long URLs not stored before, interleaved in every connection.
-- Script argument 1: a file with one code per line; argument 2: a run number
-- that keeps the long URLs of different runs apart.
local threads_made = 0

function setup(thread)
  threads_made = threads_made + 1
  thread:set("thread_number", threads_made)
end

local codes = {}
local run = 0
local sent = 0
local query_prefix = ""
local headers = { ["Content-Type"] = "application/x-www-form-urlencoded" }

function init(args)
  for line in io.lines(args[1]) do
    if #line > 0 then codes[#codes + 1] = line end
  end
  assert(#codes > 0, "no codes in " .. args[1])
  run = tonumber(args[2] or "0")
  query_prefix = "tinyurl=http://" .. wrk.host .. ":" .. wrk.port .. "/"
end

function request()
  sent = sent + 1
  if sent % 10 == 0 then
    local key = string.format("%08X%04X%012X", run, thread_number, sent)
    local url = "http://txt1?" .. key .. string.rep("A", 600)
    return wrk.format("POST", "/create.php", headers, "url=" .. url .. "&alias=&access_type=web")
  end
  local code = codes[(sent * 7919 + thread_number) % #codes + 1]
  return wrk.format("POST", "/query.php", headers, query_prefix .. code .. "&access_type=web")
end

-- Prints the figures the load script checks: error answers are non-2xx
-- (the service answers every failure with a 4xx or 5xx status).
function done(summary, latency, requests)
  io.write(string.format("mix: %d requests, %d socket errors (connect %d read %d write %d timeout %d)\n",
                         summary.requests, summary.errors.connect + summary.errors.read +
                           summary.errors.write + summary.errors.timeout,
                         summary.errors.connect, summary.errors.read, summary.errors.write,
                         summary.errors.timeout))
  io.write(string.format("mix: non-2xx %d, p50 %.2f ms, p99 %.2f ms, max %.2f ms\n",
                         summary.errors.status, latency:percentile(50) / 1000,
                         latency:percentile(99) / 1000, latency.max / 1000))
end
