// Classes: members, construction, inheritance, base calls, modification rules, attributes.
function p(x) { print(x + "\n") }
function err(f) { try { f(); p("no error") } catch (e) { p("error: " + e) } }
class Counter {
    </ doc = "running total" />
    total = 0
    static unit = "items"
    constructor(start) { total = start }
    function add(n) { total += n; return total }
    function _tostring() { return "Counter(" + total + " " + unit + ")" }
}
local c = Counter(5)
p(c.add(2)); p(c + ""); p(c.unit); p(Counter.unit)
p(Counter.getattributes("total").doc)
p(Counter.getattributes(null) == null)
err(function() { Counter.getattributes("none") })
class Bag { items = []; }
local b1 = Bag(), b2 = Bag(); b1.items.append(1); p(b2.items.len())
err(function() : (c) { c.newField <- 1 })
err(function() { Counter.extra <- 1 })
class Fresh { x = 1 }
err(function() { Fresh.x = 2 })
Fresh.y <- 3; Fresh.x <- 10
function Fresh::m() { return x + y }
local fr = Fresh(); p(fr.m())
err(function() { Fresh.z <- 1 })
err(function() { function Fresh::late() {} })
class Shape {
    name = null
    constructor(n) { name = n }
    function describe() { return "shape " + name }
}
class Square extends Shape {
    side = 0
    constructor(s) { Shape.constructor("square"); side = s }
    function describe() { return Shape.describe() + " of side " + side }
    function portable() { return Shape.describe.call(this) }
}
local sq = Square(3)
p(sq.describe()); p(sq.portable()); p(Square.parent == Shape)
p(sq instanceof Square); p(sq instanceof Shape); p(sq.getclass() == Square)
err(function() { return 5 instanceof Shape })
err(function() : (sq) { return sq._tostring })
err(function() { class X extends {} {} })
class WithClone { items = null; constructor() { items = [1] } function _cloned(o) { items = clone o.items } }
local w1 = WithClone(); local w2 = clone w1; w2.items.append(2); p(w1.items.len() + " " + w2.items.len())
class NoCtor { v = 1 }
p(NoCtor(1, 2, 3).v)
class OneArg { constructor(a) {} }
err(function() { OneArg(1, 2, 3) })
err(function() : (c) { c.unit = "x" }); p(c.unit)
err(function() : (c) { c.add = 1 })
local inst = Counter.instance(); p(inst.total)
p(Counter.rawin("add")); p(c.rawin("total")); p(c.rawin("nothing"))
p("add" in c); p("_tostring" in c); p("total" in Counter)
class Statics { static n = 0 }
Statics.n += 1; p(Statics.n)
class Base2 { function _inherited(attrs) { ::inheritedWith <- attrs == null ? "null" : attrs.tag } }
class Derived2 extends Base2 </ tag = "t" /> {}
p(inheritedWith)
class Collector {
    function _newmember(name, value, attrs) { if (!("seen" in ::getroottable())) ::seen <- []; ::seen.append(name); this[name] <- value }
}
class Built extends Collector { a = 1; function b() {} }
p(seen.len() + " " + Built.rawin("a"))
local order = []
foreach (k, v in Square) order.append(k)
order.sort(); p(order.len())
local ns = {}
class ns.Pt { x = 0 }
p(typeof ns.Pt)
