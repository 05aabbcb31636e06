class A { x = 1; static s = 2; constructor(v) { x = v } function get() { return x } function _tostring() { return "A" + x } }
class B extends A { function get() { return A.get() * 2 } }
local b = B(3); local t = { a = [1, 2, 3], f = function(n) : (b) { return n + b.get() } }
foreach (k, v in t.a) t.a[k] = v * 2
try { t.nope = 1 } catch (e) { print(e) }
print(b + " " + t.f(1) + format("%d %s", 5, "x"))
