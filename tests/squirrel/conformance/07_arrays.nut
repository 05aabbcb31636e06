// Arrays: indexing, construction, default delegate, sorting.
function p(x) { print(x + "\n") }
function err(f) { try { f(); p("no error") } catch (e) { p("error: " + e) } }
function show(a) { local s = ""; foreach (v in a) s += v + " "; p(s) }
local a = [1, "two", [3]]
p(a[1.9]); p(a.len()); p(typeof a.len)
err(function() : (a) { return a[5] }); err(function() : (a) { return a[-1] })
err(function() : (a) { a[3] = 1 }); err(function() : (a) { a["x"] = 1 }); err(function() : (a) { a[0] <- 1 })
local f = array(3, 0); show(f); p(array(2).len())
local shared = array(2, []); shared[0].append(1); p(shared[1].len())
err(function() { array(-1) })
local b = [1, 2]
p(b.append(3) == null); p(b.push(4) == null); show(b)
b.extend([5, 6]); show(b); b.extend(b); p(b.len())
err(function() : (b) { b.extend(1) })
local c = [1, 2, 3]
p(c.pop()); p(c.top()); err(function() { [].pop() }); err(function() { [].top() })
p(c.insert(0, 0) == null); show(c); c.insert(3, 9); show(c); c.insert(1.5, 7); show(c)
err(function() : (c) { c.insert(10, 1) }); err(function() : (c) { c.insert(-1, 1) })
p(c.remove(0)); show(c); err(function() : (c) { c.remove(9) }); err(function() : (c) { c.remove("x") })
c.resize(2); show(c); c.resize(4, "z"); show(c); err(function() : (c) { c.resize(-1) }); err(function() : (c) { c.resize("x") })
c.reverse(); show(c)
show([1, 2, 3, 4].slice(1)); show([1, 2, 3, 4].slice(-2)); show([1, 2, 3, 4].slice(0, -1))
err(function() { [1, 2, 3].slice(2, 2) }); err(function() { [].slice(0) }); err(function() { [1, 2, 3].slice(1, 1) })
err(function() { [1, 2, 3].slice(0, 9) })
local s = [3, 1, 2]; p(s.sort() == null); show(s)
local r = [1, 2]; p(r.reverse() == null); p(r.resize(1) == null); p(r.extend([]) == null)
local words = ["pear", "apple", "fig"]; words.sort(); show(words)
local desc = [1, 5, 3]; desc.sort(function(x, y) { return y - x }); show(desc)
local half = [2, 1]; half.sort(function(x, y) { return 0.5 }); p(half.len())
err(function() { [3, 1].sort(function(x, y) { throw "x" }) })
err(function() { [3, 1].sort(function(x) { return 0 }) })
err(function() { [3, 1].sort(function(x, y) { return true }) })
err(function() { ["a", 3].sort() })
class V { v = 0; constructor(x) { v = x } function _cmp(o) { return v - o.v } }
local vs = [V(3), V(1), V(2)]; vs.sort(); p(vs[0].v + "" + vs[1].v + vs[2].v)
p(0 in [9]); p(2 in [1, 2])
local w = [1].weakref(); p(typeof w)
local nested = [[1, 2], [3]]; p(nested[0][1] + nested[1][0])
