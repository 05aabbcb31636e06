local r = regexp("([a-z]+)([0-9]*)"); local c = r.capture("abc123"); print(c.len())
print(split("a,b,,c", ",").len() + strip("  x ") + "x".slice(0, 1) + "%d".find("d"))
local b = blob(8); b.writen(1.5, 'f'); b.seek(0); print(b.readn('f')); print(abs(-3) + floor(2.5) + sqrt(4.0))
local arr = [5, 3, 9]; arr.sort(function(a, b) { return a - b }); print(arr.top() + arr.len())
while (true) { }
