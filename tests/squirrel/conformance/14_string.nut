// string library: format, strip family, split.
function p(x) { print(x + "\n") }
function err(f) { try { f(); p("no error") } catch (e) { p("error: " + e) } }
p(format("[%-5s|%6.2f|%04d|%X]", "ab", 3.14159, 42, 255))
p(format("%d", 3.9)); p(format("%5.1f", 2)); p(format("%.9f", 0.1)); p(format("%%")); p(format("%c", 65))
p(format("%x %o %i %u", 255, 8, -1, 7)); p(format("%e", 12345.678)); p(format("%g", 0.0001))
p(format("%+d % d", 5, 5)); p(format("%s and %s", "a", "b")); p(format("extra", 1, 2))
err(function() { format("%s", 5) }); err(function() { format("%d", "x") }); err(function() { format("%d", true) })
err(function() { format("%f", "x") }); err(function() { format("%100d", 1) }); err(function() { format("%.100f", 1) })
err(function() { format("%d") }); err(function() { format("%l", 1) }); err(function() { format("%q", 1) })
p(strip("  a b \t\n") + "|"); p(lstrip("  a ") + "|"); p(rstrip("  a ") + "|")
err(function() { strip(5) })
local parts = split(",a,,b,", ","); p(parts.len() + " " + parts[0] + parts[1])
p(split(",,,", ",").len()); p(split("", ",").len())
local ws = split("a b\tc", " \t"); p(ws.len() + ws[2])
err(function() { split("a", "") })
