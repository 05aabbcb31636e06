// Threads: cooperative coroutines with their own execution stack.
#include "squirrel/NativeArgs.h"

namespace sq {

Value SuspendNative(Vm& vm, CallContext&) { vm.raise("cannot suspend through native calls/metamethods"); }

namespace {

Value runThread(Vm& vm, Thread* th, bool start, int nargs) {
    ExecState* saved = vm.exec_;
    ExecState& tx = *th->exec;
    vm.exec_ = &tx;
    th->state = Thread::State::Running;
    tx.suspended = false;
    Value r;
    try {
        if (start) {
            if (tx.stack[0].t == T::Closure && !tx.stack[0].cl->proto->generator) {
                vm.enterClosure(tx, 0, nargs, true, nullptr);
                r = vm.execute(tx, 0);
            } else {
                r = CallAt(vm, tx, 0, nargs);
            }
        } else {
            r = vm.execute(tx, 0);
        }
    } catch (...) {
        vm.exec_ = saved;
        th->state = Thread::State::Idle;
        tx.frames.clear();
        tx.top = 0;
        throw;
    }
    vm.exec_ = saved;
    th->state = tx.suspended ? Thread::State::Suspended : Thread::State::Idle;
    return r;
}

}  // namespace

Value ThreadCall(Vm& vm, CallContext& c) {
    Thread* th = c.arg(0).th;
    if (th->started) vm.raise("the thread was already started");
    th->started = true;
    ExecState& tx = *th->exec;
    if (tx.stack.size() < 1024) tx.stack.resize(1024);
    tx.top = 0;
    tx.stack[tx.top++] = th->body;
    tx.stack[tx.top++] = Value::Object(T::Table, vm.root);
    for (int i = 1; i < c.count; ++i) tx.stack[tx.top++] = c.arg(i);
    return runThread(vm, th, true, c.count - 1);
}

Value ThreadWakeup(Vm& vm, CallContext& c) {
    Thread* th = c.arg(0).th;
    if (th->state == Thread::State::Idle) vm.raise("cannot wakeup a idle thread");
    if (th->state == Thread::State::Running) vm.raise("cannot wakeup a running thread");
    ExecState& tx = *th->exec;
    tx.stack[tx.suspendSlot] = c.count > 1 ? c.arg(1) : Value();
    tx.top = tx.suspendSlot + 1;
    return runThread(vm, th, false, 0);
}

Value ThreadStatus(Vm& vm, CallContext& c) {
    switch (c.arg(0).th->state) {
    case Thread::State::Idle: return vm.str("idle");
    case Thread::State::Running: return vm.str("running");
    default: return vm.str("suspended");
    }
}

Value NewThread(Vm& vm, CallContext& c) {
    Thread* th = vm.alloc<Thread>();
    th->body = c.arg(1);
    return Value::Object(T::Thread, th);
}

}  // namespace sq
