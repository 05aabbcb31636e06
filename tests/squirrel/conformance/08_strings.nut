// Strings: indexing, iteration, default delegate, conversions.
function p(x) { print(x + "\n") }
function err(f) { try { f(); p("no error") } catch (e) { p("error: " + e) } }
p("AZ"[1]); p("\xE9"[0]); p("abc"[1.7])
err(function() { return "abc"[-1] }); err(function() { return "abc"[9] }); err(function() { local s = "ab"; s[0] = 65 })
local s = "ab"; s[0]++; p(s)
foreach (i, b in "hi") p(i + ":" + b)
p("hello".len()); p("hello".slice(1, 3)); p("hello".slice(-3)); p("hello".slice(2, 2) == ""); p("hello".slice(5) == "")
err(function() { "abc".slice(2, 1) }); err(function() { "abc".slice(0, 9) }); err(function() { "abc".slice("x") })
p("hello".find("l")); p("hello".find("l", 3)); p("hello".find("z") == null); p("abc".find("c", 5) == null); p("abc".find("", 1))
p("MiXeD".tolower()); p("MiXeD".toupper()); p("s".tostring())
p("42abc".tointeger()); p(" -3".tointeger()); p("0x1F".tointeger()); p("2.9".tointeger()); p("2.9".tofloat())
p("1e3".tofloat()); p("1e3".tointeger()); p("1.5e3".tofloat()); p("7".tofloat())
err(function() { "".tointeger() }); err(function() { "abc".tofloat() })
p("9999999999".tointeger()); p("-9999999999".tointeger())
p("a" + 1 + 2.5 + true); p(1 + 2 + "a")
local w = "str".weakref(); p(w.ref())
p("x" < "y"); p("abc" == "ab" + "c")
