-- wrk script: POST /create.php, every request a long URL not stored before.
-- Script argument 1: the URL length (default 1812, a full part record);
-- argument 2: a run number that keeps URLs of different runs apart.
local threads_made = 0

function setup(thread)
  threads_made = threads_made + 1
  thread:set("thread_number", threads_made)
end

local url_length = 1812
local run = 0
local sent = 0
local headers = { ["Content-Type"] = "application/x-www-form-urlencoded" }

function init(args)
  url_length = tonumber(args[1] or "1812")
  run = tonumber(args[2] or "0")
end

function request()
  sent = sent + 1
  local key = string.format("%08X%04X%012X", run, thread_number, sent)
  local url = "http://txt1?" .. key .. string.rep("A", url_length - 12 - #key)
  return wrk.format("POST", "/create.php", headers, "url=" .. url .. "&alias=&access_type=web")
end
