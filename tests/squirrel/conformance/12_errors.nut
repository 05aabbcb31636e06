// Exceptions, the error handler and stack information.
function p(x) { print(x + "\n") }
function err(f) { try { f(); p("no error") } catch (e) { p("error: " + e) } }
local seen = []
seterrorhandler(function(e) : (seen) { seen.append(typeof e == "string" ? e : "value"); local info = getstackinfos(2); seen.append(info.func) })
function failsInside() { local t = {}; return t.nothing }
err(function() { failsInside.call(this) })
p(seen.len() + " " + seen[0] + " " + seen[1])
local before = seen.len()
err(function() { failsInside.pcall(this) })
p(seen.len() == before)
try { throw "caught locally" } catch (e) { p(e) }
p(seen.len() == before)
local d = delegate { function _add(o) { throw "meta" } } : {}
err(function() : (d) { return d + 1 })
p(seen.len() == before)
seterrorhandler(null)
function level1() { return getstackinfos(1).func }
p(level1())
p(getstackinfos(0).src)
p(getstackinfos(1000) == null)
function lineOf() { return getstackinfos(1).line }
p(lineOf())
err(function() { assert(false) }); p(assert(true) == null); err(function() { assert(false, "msg") })
err(function() { print("a", "b") }); err(function() { print() })
err(function() { compilestring("local = 1") })
p(compilestring("return 2 + 3")())
local named = compilestring("return getstackinfos(1).src", "mybuffer")
p(named())
function rethrow() { try { throw [1, 2] } catch (e) { throw e } }
try { rethrow() } catch (e) { p(typeof e + " " + e.len()) }
local events = []
function traced(a) { return a + 1 }
setdebughook(function(type, src, line, name) : (events) { if (name == "traced") events.append(type.tochar()) })
traced(1)
setdebughook(null)
traced(2)
p(events.len() + " " + events[0] + events[1])
