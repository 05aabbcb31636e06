// Generators, threads and weak references.
function p(x) { print(x + "\n") }
function err(f) { try { f(); p("no error") } catch (e) { p("error: " + e) } }
function countdown(n) { while (n > 0) { yield n; n -= 1 } return "liftoff" }
local g = countdown(2)
p(g.getstatus()); p(resume g); p(resume g); p(resume g); p(g.getstatus())
err(function() : (g) { resume g })
foreach (i, v in countdown(2)) p(i + ":" + v)
function noReturn() { yield 1 }
foreach (i, v in noReturn()) p(i + ":" + (v == null ? "null" : v))
function early() { return 5; yield 1 }
foreach (i, v in early()) p("early " + i + ":" + v)
local started = countdown(3); resume started
foreach (i, v in started) p("started " + i + ":" + v)
local dead = countdown(0); resume dead
local n = 0; foreach (v in dead) n++; p(n)
function selfResume() { yield resume ::gen2 }
::gen2 <- selfResume()
err(function() { resume ::gen2 })
function iterSelf() { foreach (v in ::gen3) {} yield 1 }
::gen3 <- iterSelf()
err(function() { resume ::gen3 })
err(function() { resume 5 })
function failing() { yield 1; throw "gen failed" }
local fg = failing(); resume fg
err(function() : (fg) { resume fg }); p(fg.getstatus())
function guarded() { try { yield 1; throw "x" } catch (e) { yield "caught " + e } }
local gd = guarded(); p(resume gd); p(resume gd)
function withArgs(a, ...) { yield a + vargc; yield vargv[0] }
local wa = withArgs(1, "v", "w"); p(resume wa); p(resume wa)
err(function() { countdown() })
function yielder() { yield 1 }
err(function() { yielder.call(this) })
local worker = newthread(function (first) {
    local got = suspend(first * 10)
    return got + 1
})
p(worker.getstatus()); p(worker.call(4)); p(worker.getstatus()); p(worker.wakeup(8)); p(worker.getstatus())
err(function() : (worker) { worker.wakeup(1) })
local deep = newthread(function() { local inner = function() { return suspend("from inner") }; local r = inner(); return "back " + r })
p(deep.call()); p(deep.wakeup("w"))
local failingThread = newthread(function() { throw "thread error" })
err(function() : (failingThread) { failingThread.call() })
err(function() { suspend(1) })
local cache = {}
function makeAndDrop(cache) { local data = [1, 2, 3]; cache.last <- data.weakref(); p(cache.last.len()) }
makeAndDrop(cache)
collectgarbage()
p(cache.last == null)
local keep = {v = 1}
local w = keep.weakref()
p(w.ref().v); p(typeof w); p((5).weakref() == 5)
local holder = [w]; p(holder[0].v)
