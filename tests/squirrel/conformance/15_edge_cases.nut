// The reference's closing list of edge cases not already covered by the section files.
function p(x) { print(x + "\n") }
function err(f) { try { f(); p("no error") } catch (e) { p("error: " + e) } }
function cerr(src) { try { compilestring(src); p("compiles") } catch (e) { p("error: " + e) } }
// 8: one-line statement forms
cerr("while (x < 2) { x++ } x = 5")
// 9: return then a line break
p((function() { return
5 })() == null)
// 35-38: delegation through the child
local proto = {x = 1}; local child = delegate proto : {}
child.x = 9; p(proto.x); p(child.rawin("x"))
local grand = delegate child : {}; p("x" in grand)
class AllNull { function _get(k) { return null } }
err(function() { return AllNull().getclass() })
local quiet = delegate { function _get(k) { return null } } : {}; p(quiet.len())
// 41-45: scope and this
tmpHost <- { function m() { created <- 1; return 0 } }
tmpHost.m(); p(tmpHost.rawin("created"))
class Inst { function m() { made <- 1 } }
err(function() { Inst().m() })
// 49-51
local thrower = function() { throw "thrown" }
err(function() : (thrower) { thrower.pcall(this) })
// 55: base method on the current instance
class B1 { v = "base"; function describe() { return "I am " + v } }
class D1 extends B1 { v = "derived"; function describe() { return B1.describe() + "!" } }
p(D1().describe())
// 58: clone runs _cloned, not the constructor
::ctorRuns <- 0
class Cl { constructor() { ::ctorRuns++ } function _cloned(o) { ::ctorRuns += 10 } }
local one = Cl(); local two = clone one; p(ctorRuns)
// 64: threads
local worker = newthread(function(first) { local got = suspend(first * 10); return got + 1 })
p(worker.call(4) + " " + worker.getstatus() + " " + worker.wakeup(8) + " " + worker.getstatus())
// 73: failing _tostring gives the default text
local badText = delegate { function _tostring() { throw "x" } } : {}
p(("" + badText).slice(0, 7))
// weak references stored in containers are read through
local target = {n = 3}
local box = {w = target.weakref()}
p(box.w.n)
// integer wrap in increments and compound assignment
local big = 2147483647; big++; p(big); big -= 1; p(big)
// string compare stops at NUL
p("a\0b" < "a\0c")
// floats beyond the integer range convert as x86 does, wherever an integer is taken
p((1.0e36).tointeger() + " " + (-1.0e36).tointeger() + " " + (0.0 / 0.0).tointeger() + " " + (2147483520.0).tointeger())
p(format("%d", 3.0e30))
err(function() { regexp("([a-z]+)").capture("abc", 1.1e36) })
p((1.0e30 in [1, 2, 3]) + " " + (-1.0e30 in [1, 2, 3]))
