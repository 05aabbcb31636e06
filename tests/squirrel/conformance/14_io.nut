// io library: files, dofile, loadfile.
function p(x) { print(x + "\n") }
function err(f) { try { f(); p("no error") } catch (e) { p("error: " + e) } }
local path = "sqrun_io_test.tmp"
local f = file(path, "wb")
p(typeof f); p(type(f))
f.writen(42, 'i'); f.writen(2.5, 'f'); p(f.len()); f.flush()
local r = file(path, "rb")
p(r.readn('i')); p(r.readn('f')); p(r.len())
local w = file(path + ".nut", "w")
local text = "return this.marker + 1\n"
foreach (c in text) w.writen(c, 'c')
w.flush()
marker <- 41
p(dofile(path + ".nut"))
local fn = loadfile(path + ".nut")
p(typeof fn); p(fn.call({marker = 1}))
err(function() { file("/nonexistent/dir/x", "r") })
err(function() { dofile("/nonexistent/x.nut") })
local bad = file(path + ".bad.nut", "w"); foreach (c in "local = 1") bad.writen(c, 'c'); bad.flush()
err(function() : (path) { loadfile(path + ".bad.nut") })
p(typeof stdout); p(stdout.flush())
remove(path); remove(path + ".nut"); remove(path + ".bad.nut")
err(function() : (path) { remove(path) })
