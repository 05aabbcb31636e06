// regexp: pattern syntax, the non-backtracking matcher and the 2.1 capture counter.
function p(x) { print(x + "\n") }
function err(f) { try { f(); p("no error") } catch (e) { p("error: " + e) } }
function span(r) { return r == null ? "none" : r.begin + "-" + r.end }
function caps(pat, s) { local c = regexp(pat).capture(s); if (c == null) return "none"; local o = ""; foreach (x in c) o += "(" + x.begin + "," + x.end + ")"; return o }
local re = regexp("[0-9]+")
p(typeof re); p(type(re)); p(span(re.search("ab123c"))); p(re.match("123")); p(re.match("123a"))
p(span(regexp("a.*b").search("a1b2b"))); p(span(regexp(".*x").search("xab"))); p(regexp("(ab|a)bc").match("abc"))
p(span(regexp("x").search(""))); p(span(regexp("a*").search(""))); p(span(regexp("b").search("abcb", 2)))
p(span(regexp("^b").search("ab"))); p(span(regexp("^b").search("ab", 1))); p(span(regexp("c$").search("abc")))
p(regexp("\\d+\\.\\d+").match("3.14")); p(regexp("\\w+").match("ab_9")); p(regexp("\\s").match(" "))
p(regexp("[a-c]+").match("abcabc")); p(regexp("[^a-c]").match("d")); p(regexp("[\\-x]").match("-"))
p(regexp("a{2}").match("aa")); p(regexp("a{2,}").match("aaaa")); p(regexp("a{1,2}").match("aaa")); p(regexp("colou?r").match("color"))
p(regexp("(?:ab)+").match("ababab")); p(regexp("ab|cd").match("cd")); p(regexp(".").match("\n"))
p(regexp("(a)(b)").subexpcount())
p(caps("(a+)(b+)", "aabb")); p(caps("([A-Z]+)([0-9]+)", "ABC123")); p(caps("(b)([0-9]+)(c)", "b12c"))
p(caps("([A-Z])([0-9]+)", "ABC123")); p(caps("(\\d+)([0-9]+)", "ABC123")); p(caps("(x)?y", "y"))
p(span(regexp("a.").search("a")))
err(function() { regexp("a**") }); err(function() { regexp("(a") }); err(function() { regexp("()") }); err(function() { regexp("(a|)") })
err(function() { regexp("a{,2}") }); err(function() { regexp("a{2") }); err(function() { regexp("a|") }); err(function() { regexp("[]") })
err(function() { regexp("[\\d-z]") }); err(function() { regexp("a\\") }); err(function() { regexp("*a") }); err(function() { regexp("a{99999}") })
