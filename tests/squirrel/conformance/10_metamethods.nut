// Metamethods of instances and their 2.1 error behaviour.
function p(x) { print(x + "\n") }
function err(f) { try { f(); p("no error") } catch (e) { p("error: " + e) } }
class Vec {
    x = 0; y = 0
    constructor(a, b) { x = a; y = b }
    function _add(o) { return Vec(x + o.x, y + o.y) }
    function _sub(o) { return Vec(x - o.x, y - o.y) }
    function _mul(k) { return Vec(x * k, y * k) }
    function _div(k) { return Vec(x / k, y / k) }
    function _modulo(k) { return Vec(x % k, y % k) }
    function _unm() { return Vec(-x, -y) }
    function _tostring() { return "(" + x + "," + y + ")" }
    function _typeof() { return "vec" }
    function _cmp(o) { return (x + y) - (o.x + o.y) }
}
local a = Vec(1, 2), b = Vec(3, 4)
p(a + b); p(b - a); p(a * 3); p(b / 2); p(b % 3); p(-a); p(typeof a); p(type(a))
p(a < b); p(a >= b)
err(function() : (a) { return 5 + a }); p(a + "s")
err(function() : (a) { return a < 1 })
class Dyn {
    store = null
    constructor() { store = {} }
    function _get(k) { if (k in store) return store[k]; throw null }
    function _set(k, v) { store[k] <- v }
    function _call(env, n) { return n + 1 }
    function _nexti(prev) { if (prev == null) return "a"; if (prev == "a") return "b"; return null }
    function _delslot(k) { return "gone " + k }
}
local d = Dyn()
d.q = 5; p(d.q); err(function() : (d) { return d.missing })
p(d(41))
d.a = 1; d.b = 2
foreach (k, v in d) p(k + "=" + v)
p(delete d.q)
err(function() : (a) { delete a.x })
class Bad {
    function _add(o) { throw "inner" }
    function _unm() { throw "inner" }
    function _call(env) { throw "inner" }
    function _cmp(o) { throw "inner" }
    function _tostring() { throw "inner" }
    function _typeof() { throw "inner" }
    function _get(k) { throw "inner" }
    function _nexti(k) { throw "inner" }
}
local bad = Bad()
err(function() : (bad) { return bad + 1 }); err(function() : (bad) { return -bad }); err(function() : (bad) { return bad() })
err(function() : (bad) { return bad < Bad() }); p(bad <= bad); p(("" + bad).slice(0, 10)); p(typeof bad)
err(function() : (bad) { return bad.nothing }); err(function() : (bad) { foreach (k in bad) {} })
class NoNext {}
err(function() { foreach (k in NoNext()) {} })
class BadIdx { function _nexti(k) { return k == null ? "nope" : null } }
err(function() { foreach (k in BadIdx()) {} })
class AllGet { function _get(k) { return null } }
err(function() { return AllGet().getclass() })
class Cmp2 { function _cmp(o) { return 1.5 } }
err(function() { return Cmp2() < Cmp2() })
