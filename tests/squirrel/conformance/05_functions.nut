// Functions: arity, varargs, free variables, this rules, call helpers, tail calls.
function p(x) { print(x + "\n") }
function err(f) { try { f(); p("no error") } catch (e) { p("error: " + e) } }
local lim = 3
function usesLim() { return lim }
err(usesLim)
local n = 1
local g = function() : (n) { return n }
n = 2
p(g())
local h = function() : (n) { n += 3; return n }
p(h()); p(h())
local h2 = function() : (n) { return (n += 1) + (n += 1) }
p(h2())
local h3 = function() : (n) { local o = n++; return o + " " + n }
p(h3())
local h4 = function() : (n) { return n-- }
p(h4())
local shadow = function(n) : (n) { return n }
p(shadow(9))
function makeScaler(factor) { local offset = 2; return function(x) : (factor, offset) { return x * factor + offset } }
p(makeScaler(3)(4))
local shared = [1]
local adder = function() : (shared) { shared.append(2) }
adder(); p(shared.len())
err(function() { local f = function() : (missingName) { return 1 } })
function two(a, b) { return a + b }
err(function() { two(1) }); err(function() { two(1, 2, 3) }); p(two(1, 2))
function cnt(...) { return vargc }
p(cnt()); p(cnt(4, 5, 6))
function at(i, ...) { return vargv[i] }
p(at(1, "a", "b")); p(at(1.7, "a", "b"))
err(function() { at(3, 1, 2) }); err(function() { at(-1, 1) }); err(function() { at("x", 1) })
function noVarargs() { return vargc }
p(noVarargs())
err(function() { return vargv[0] })
function logAll(prefix, ...) {
    local parts = [this, prefix]
    for (local i = 0; i < vargc; i += 1) parts.append(vargv[i])
    return join.acall(parts)
}
function join(...) { local s = ""; for (local i = 0; i < vargc; i++) s += vargv[i]; return s }
p(logAll("<", 1, 2, 3))
local fns = [function() { return this }]
p(typeof fns[0]())
local env = {name = "env"}
local other = {name = "other"}
local bound = (function() { return this.name }).bindenv(env)
other.h <- bound
p(other.h())
p(bound.call(other))
err(function() { (function() {}).bindenv([]) })
function whoAmI() { return this.name }
p(whoAmI.call({name = "called"}))
p(whoAmI.acall([{name = "acalled"}]))
p(whoAmI.pcall({name = "pcalled"}))
err(function() { whoAmI.call() })
local thrower = function() { throw "pcall still throws" }
err(function() : (thrower) { thrower.pcall(this) })
local info = two.getinfos()
p(info.name + " " + info.native + " " + info.varargs + " " + info.parameters.len() + " " + info.parameters[0])
p(cnt.getinfos().parameters.top())
p(print.getinfos().native)
err(function() { local ns = {}; function ns::go() {} })
::ns <- {}
function ns::go() { return "ns.go" }
p(ns.go())
function countdown(k) { if (k == 0) return "done"; return countdown(k - 1) }
p(countdown(100000))
tbl <- { v = 5, function get() { return v } }
p(tbl.get())
local m = tbl.get
err(function() : (m) { return m() })
name <- "root"
p(whoAmI())
