// Statements: locals and scope, if/else, loops, foreach, switch, break/continue, try/throw.
function p(x) { print(x + "\n") }
local x = 1
{ local x = 2; p(x) }
p(x)
local count = 5
{ local count = count + 1; p(count) }
if (x == 1) p("one") else p("other")
if (x == 2) p("two")
else if (x == 1) p("else one")
local n = 0
while (n < 3) n++
p(n)
do { n-- } while (n > 0)
p(n)
do n++ while (n < 4)
p(n)
for (local i = 0; i < 10; i++) { if (i == 2) continue; if (i == 5) break; p("for " + i) }
local j = 0
for (; j < 3;) j++
p(j)
for (local k = 0, m = 10; k < m; k += 4, m -= 1) p(k + ":" + m)
foreach (v in [10, 20]) p(v)
foreach (i, v in [10, 20]) p(i + "=" + v)
local keys = []
foreach (k, v in {a = 1, b = 2, c = 3}) keys.append(k + v)
keys.sort()
foreach (k in keys) p(k)
foreach (i, c in "Az") p(i + "," + c)
class K { x = 1; function m() {} }
local members = []
foreach (k, v in K) members.append(k)
members.sort()
p(members.len() + " " + members[0] + " " + members[1])
local grow = [1]
foreach (i, v in grow) if (i < 3) grow.append(v + 1)
p(grow.len())
try { foreach (v in 5) {} } catch (e) { p(e) }
function sw(v) {
    local out = ""
    switch (v) {
    case 1: out += "one "
    case 2: out += "two "; break
    case "s": out += "str "; break
    case 3.0: out += "three "
    default: out += "default"
    }
    return out
}
p(sw(1)); p(sw(2)); p(sw("s")); p(sw(3)); p(sw(9))
local loops = 0
for (local i = 0; i < 3; i++) { switch (i) { case 1: continue; default: loops++ } }
p(loops)
try { throw "text" } catch (e) { p("caught " + e) }
try { throw {code = 3} } catch (e) { p("code " + e.code) }
try { throw null } catch (e) { p(e == null) }
function thrower() { throw 42 }
try { thrower() } catch (e) { p(e + 1) }
local depth = 0
for (local i = 0; i < 3; i++) { try { if (i == 1) break; depth++ } catch (e) {} }
p(depth)
try { try { throw "inner" } catch (e) { throw e + "+outer" } } catch (e) { p(e) }
function f() { try { return "from try" } catch (e) {} }
p(f())
local caught = 0
for (local i = 0; i < 3; i++) { try { throw i } catch (e) { caught += e; continue } }
p(caught)
p((function() { for (local i = 0; ; i++) if (i == 7) return i })())
