// math library.
function p(x) { print(x + "\n") }
function err(f) { try { f(); p("no error") } catch (e) { p("error: " + e) } }
p(abs(-3.7)); p(abs(-2147483648)); p(typeof abs(2.5))
p(fabs(-2.5)); p(sqrt(16)); p(sqrt(-1) == sqrt(-1))
p(floor(2.7)); p(typeof floor(2.7)); p(ceil(2.1)); p(floor(-2.5))
p(pow(2, 10)); p(exp(0)); p(log(1)); p(log10(1000))
p(format("%.4f", sin(PI / 2))); p(format("%.4f", cos(0))); p(format("%.4f", tan(0)))
p(format("%.4f", atan2(1, 0))); p(format("%.4f", asin(1))); p(format("%.4f", acos(1))); p(format("%.4f", atan(1)))
p(PI); p(RAND_MAX > 0)
local r = rand(); p(r >= 0 && r <= RAND_MAX)
err(function() { srand(1) }); err(function() { sqrt("x") }); err(function() { sqrt() })
