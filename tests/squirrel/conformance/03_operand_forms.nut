// Binary operators give the same result whether the right operand comes from the stack, a
// constant or a local variable, including wrap-around, errors and metamethods.
local values = [0, 1, -1, 7, -7, 2147483647, -2147483647 - 1, 0.5, -2.25, "ab", null];
local names = ["+", "-", "*", "/", "%", "&", "|", "^", "<<", ">>", ">>>", "<", "<=", ">", ">="];

function tryIt(f) {
  try { return f(); } catch (e) { return "error: " + e; }
}

// Stack form: both operands read from an array.
function viaStack(op, v) {
  switch (op) {
  case "+": return v[0] + v[1];
  case "-": return v[0] - v[1];
  case "*": return v[0] * v[1];
  case "/": return v[0] / v[1];
  case "%": return v[0] % v[1];
  case "&": return v[0] & v[1];
  case "|": return v[0] | v[1];
  case "^": return v[0] ^ v[1];
  case "<<": return v[0] << v[1];
  case ">>": return v[0] >> v[1];
  case ">>>": return v[0] >>> v[1];
  case "<": return v[0] < v[1];
  case "<=": return v[0] <= v[1];
  case ">": return v[0] > v[1];
  case ">=": return v[0] >= v[1];
  }
}

// Local form: the right operand is a local.
function viaLocal(op, a, b) {
  switch (op) {
  case "+": return a + b;
  case "-": return a - b;
  case "*": return a * b;
  case "/": return a / b;
  case "%": return a % b;
  case "&": return a & b;
  case "|": return a | b;
  case "^": return a ^ b;
  case "<<": return a << b;
  case ">>": return a >> b;
  case ">>>": return a >>> b;
  case "<": return a < b;
  case "<=": return a <= b;
  case ">": return a > b;
  case ">=": return a >= b;
  }
}

local mismatches = 0;
foreach (op in names) {
  local line = op + ":";
  foreach (a in values) {
    foreach (b in values) {
      local s = tryIt(function() : (op, a, b) { return viaStack(op, [a, b]); });
      local l = tryIt(function() : (op, a, b) { return viaLocal(op, a, b); });
      if (typeof s != typeof l || s != l) { print("mismatch " + op + " " + a + " " + b + ": " + s + " vs " + l + "\n"); ++mismatches; }
    }
  }
}
print("mismatches " + mismatches + "\n");

// Constant forms, each printed.
local x = 2147483647;
print((x + 1) + " " + (x * 2) + " " + (x - -1) + " " + (x << 1) + " " + (x >> 30) + " " + (-8 >>> 28) + "\n");
local m = -2147483647 - 1;
print(tryIt(function() : (m) { return m / -1; }) + " | " + (m % -1) + " | " + tryIt(function() : (m) { return m / 0; }) + " | " + tryIt(function() : (m) { return m % 0; }) + "\n");
print((7 / 2) + " " + (-7 / 2) + " " + (-7 % 3) + " " + (7 % -3) + " " + (7 / 2.0) + " " + (7 % 2.5) + "\n");
print((x + 0.5) + " " + (3 < 3.5) + " " + (3.5 <= 3) + " " + ("b" > "a") + " " + ("abc" + 1) + " " + (1.5 + "x") + "\n");
print(tryIt(function() : (m) { return "a" < 1; }) + " | " + tryIt(function() : (m) { return null + 1; }) + " | " + tryIt(function() : (m) { return 1.5 & 1; }) + " | " + tryIt(function() : (m) { return 1 << "a"; }) + "\n");

// Metamethods see the constant or local right operand.
class Vec {
  v = 0;
  constructor(n) { v = n; }
  function _add(o) { return Vec(v + o); }
  function _sub(o) { return Vec(v - o); }
  function _cmp(o) { return v < o.v ? -1 : v > o.v ? 1 : 0; }
}
local w = Vec(10);
local k = 5;
local eleven = Vec(11);
local ten = Vec(10);
print((w + 1).v + " " + (w - k).v + " " + (w < eleven) + " " + (w > eleven) + " " + (w >= ten) + " " + tryIt(function() : (w) { return w < 11; }) + "\n");

// Loops whose condition compares with a constant or a local, for several operand types.
local n = 0;
for (local i = 0; i < 10; i++) n += i;
local lim = 10;
for (local i = 0; i <= lim; i += 2) n += i;
for (local f = 0.0; f < 1.0; f += 0.25) n += 1;
local three = Vec(3);
for (local v = Vec(0); v < three; v = v + 1) n += 100;
local s = "";
while (s < "aaa") s += "a";
print(n + " " + s + "\n");
local j = 10;
while (j > 0) j -= 3;
print(j + "\n");
print(tryIt(function() { local q = 0; while (q < "x") q++; return q; }) + "\n");
