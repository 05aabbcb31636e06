function g(n) { for (local i = 0; i < n; i++) yield i; return "end" }
foreach (i, v in g(3)) print(i + v)
local th = newthread(function(a) { local r = suspend(a); return r * 2 })
print(th.call(1)); print(th.wakeup(5))
local d = delegate { function _get(k) { return k }, function _call(e, x) { return x } } : {}
print(d.abc + d(4)); switch (3) { case 1: break; case 3: print("3"); default: print("d") }
function main() { local s = ""; for (local i = 0; i < 10; i++) s += i.tochar(); return s.len() }
