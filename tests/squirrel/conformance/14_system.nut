// system library.
function p(x) { print(x + "\n") }
function err(f) { try { f(); p("no error") } catch (e) { p("error: " + e) } }
local d = date(0, 'u'); p(d.year + " " + d.month + " " + d.day + " " + d.wday + " " + d.yday + " " + d.hour + " " + d.min + " " + d.sec)
local d2 = date(86400 * 59, 'u'); p(d2.month + " " + d2.day + " " + d2.yday)
p(typeof time()); p(time() > 1000000000); p(typeof clock()); p(typeof date())
p(getenv("SQRUN_SURELY_UNSET_VARIABLE") == null)
p(system("exit 3")); p(system("true"))
err(function() { remove("/nonexistent/file/x") }); err(function() { rename("/nonexistent/a", "/nonexistent/b") })
