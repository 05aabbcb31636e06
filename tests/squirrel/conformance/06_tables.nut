// Tables: keys, reads and writes, new slots, deletion, delegation, default delegate, cloning.
function p(x) { print(x + "\n") }
function err(f) { try { f(); p("no error") } catch (e) { p("error: " + e) } }
local t = {}
err(function() : (t) { t.nope = 1 })
t.nope <- 1; p(t.nope)
t[1] <- "i"; t[1.0] <- "f"; t[true] <- "b"
p(t.len()); p(t[1] + t[1.0] + t[true])
local z = {}; z[0.0] <- "pos"; z[-0.0] <- "neg"; p(z.len())
err(function() : (t) { t[null] <- 1 }); err(function() : (t) { return t[null] })
local proto = {x = 1, function hello() { return "hello " + this.id }}
local child = delegate proto : {id = 7}
child.x = 9
p(proto.x); p(child.rawin("x")); p("x" in child); p(child.hello())
local deeper = delegate child : {}
p("x" in deeper); p(deeper.x)
local mm = delegate { _add = 1 } : {}
local own = { function _add(o) { return 5 } }
err(function() : (own) { return own + 1 })
local viaDelegate = delegate { function _add(o) { return "added " + o } } : {}
p(viaDelegate + 1)
p(delete t.nope); err(function() : (t) { delete t.nope }); p(t.rawdelete("none") == null)
err(function() : (t) { return t.rawget("none") })
t.rawset("rs", 3); p(t.rawget("rs")); p(t.rawin("rs")); err(function() : (t) { t.rawset(null, 1) })
p(t.rawset("r2", 1) == null)
local withGet = delegate { function _get(k) { return k + "!" } } : {}
p(withGet.anything); p(withGet.len())
local failingGet = delegate { function _get(k) { throw "no" } } : {}
err(function() : (failingGet) { return failingGet.missing })
local nullGet = delegate { function _get(k) { return null } } : {}
p(nullGet.len())
local log = []
local withSet = delegate { function _set(k, v) : (log) { log.append(k + "=" + v) } } : {}
withSet.a = 1; p(log[0])
local withNewSlot = delegate { function _newslot(k, v) : (log) { log.append("new " + k) } } : {}
withNewSlot.b <- 2; p(log[1]); p(withNewSlot.rawin("b"))
local withDel = delegate { function _delslot(k) { return "deleted " + k } } : {a = 1}
p(delete withDel.a); p(withDel.rawin("a"))
local cloned = delegate { function _cloned(o) { this.copy <- true } } : {v = 1}
local c2 = clone cloned
p(c2.v + " " + c2.copy + " " + (c2.parent == cloned.parent))
local named = delegate { function _tostring() { return "named!" } } : {}
p("" + named); p(named.tostring())
local typed = delegate { function _typeof() { return "custom" } } : {}
p(typeof typed); p(type(typed))
local callable = delegate { function _call(env, x) { return x * 2 } } : {}
p(callable(21))
local cmpA = delegate { function _cmp(o) { return this.v - o.v } } : {v = 1}
local cmpB = delegate cmpA.parent : {v = 2}
p(cmpA < cmpB); p(cmpB <= cmpA)
function meth() { tmpSlot <- 1; return this }
local host = {meth = meth}
host.meth()
p(host.rawin("tmpSlot")); p(getroottable().rawin("tmpSlot"))
