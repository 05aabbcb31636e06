// Built-in globals of the base library.
function p(x) { print(x + "\n") }
function err(f) { try { f(); p("no error") } catch (e) { p("error: " + e) } }
p(_version_); p(_charsize_); p(_intsize_); p(dummy() == null)
p(type(5)); p(type(blob())); p(typeof getroottable())
p(array(3, "x").len()); p(array(2.9).len())
p(getroottable() == ::getroottable())
local saved = getroottable()
local fresh = { print = print, p = p, getroottable = getroottable, setroottable = setroottable }
p(setroottable(fresh) == null)
::onlyInFresh <- 1
setroottable(saved)
p("onlyInFresh" in getroottable()); p(fresh.onlyInFresh)
p(typeof collectgarbage())
p(typeof newthread(function() {}))
p("stream" in getroottable())
local old = print
print = function(x) : (old) { old("[" + x + "]") }
print("wrapped"); old("\n")
print = old
