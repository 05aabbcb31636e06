#include "squirrel/Compiler.h"

#include <memory>

#include "squirrel/BinaryOps.h"
#include "squirrel/Opcodes.h"
#include "squirrel/Vm.h"

namespace sq {

namespace {

enum class EK { Value, Local, Free, Field, ThisName, Parent };

// Where the value of a parsed expression lives; kept undischarged so assignments can use it.
struct ExpDesc {
    EK kind = EK::Value;
    int index = 0;      // local slot, free index or name constant
    int keyConst = -1;  // Field: constant key not yet pushed (-1: key is on the stack)
};

struct Loop {
    std::vector<size_t> breaks;
    std::vector<size_t> continues;
    int stackTop;
    int trapDepth;
    bool isSwitch;
};

struct FuncState {
    Proto* p;
    FuncState* parent;
    struct Local { String* name; int slot; size_t info = SIZE_MAX; };  // info: index in Proto::locals
    std::vector<Local> locals;
    std::vector<String*> freeNames;
    std::vector<Loop> loops;
    int top = 1;  // slot 0 is `this`
    int trapDepth = 0;
    int lastLine = -1;
};

class Compiler {
public:
    Compiler(Vm& vm, std::string_view src, std::string_view name) : vm_(vm), lex_(src), source_(vm.intern(name)) {}

    Proto* compileMain() {
        Proto* p = vm_.alloc<Proto>();
        p->source = source_;
        p->name = vm_.intern("main");
        p->paramCount = 1;
        p->paramNames.push_back(vm_.intern("this"));
        p->locals.push_back({p->paramNames[0], 0, 0, UINT32_MAX});
        FuncState fs{p, nullptr, {}, {}, {}};
        fs_ = &fs;
        next();
        while (tok() != TK_EOS) statement();
        emit(OP_RETURNNULL, 0, 0);
        return p;
    }

private:
    // ---- tokens ----
    int tok() const { return lex_.token; }
    void next() { prevToken_ = lex_.token; lex_.next(); }
    [[noreturn]] void error(const std::string& m) { lex_.error(m); }
    void expect(int t) {
        if (tok() != t) {
            if (t < 256) error(std::string("expected '") + static_cast<char>(t) + "'");
            error("expected '" + Lexer::tokenName(t) + "'");
        }
        next();
    }
    String* expectIdent() {
        if (tok() != TK_IDENT) error("expected 'IDENTIFIER'");
        String* s = vm_.intern(lex_.text);
        next();
        return s;
    }

    // ---- emission ----
    // line: the source line the instruction belongs to, when not the current token's.
    size_t emit(Op op, int32_t arg, int delta, int line = -1) {
        Proto* p = fs_->p;
        if (line < 0) line = lex_.tokenLine;
        if (line != fs_->lastLine) {
            p->lines.emplace_back(static_cast<uint32_t>(p->code.size()), line);
            fs_->lastLine = line;
        }
        prevInstr_ = lastInstr_;
        lastInstr_ = p->code.size();
        p->code.push_back(Encode(op, arg));
        adjust(delta);
        return p->code.size() - 1;
    }
    void word(uint32_t w) { fs_->p->code.push_back(w); }
    void adjust(int delta) {
        fs_->top += delta;
        if (fs_->top > fs_->p->maxStack) fs_->p->maxStack = fs_->top;
    }
    size_t here() const { return fs_->p->code.size(); }
    // No jump lands on the next instruction, so the last one may be fused with it.
    bool canFuse() const { return fs_->p->code.size() > 0 && lastTarget_ < here(); }
    // The last emitted instruction when it is a single word ending the code, else nullptr.
    uint32_t* lastSingle() {
        auto& code = fs_->p->code;
        return (!code.empty() && lastInstr_ == code.size() - 1) ? &code.back() : nullptr;
    }
    size_t emitJump(Op op, int delta) {
        auto& code = fs_->p->code;
        if (op == OP_JMPF && canFuse() && lastSingle()) {
            const Op last = OpOf(code.back());
            if (last >= OP_EQ && last <= OP_GE) {
                code.back() = Encode(OP_CMPJMPF, last);
                code.push_back(0);
                adjust(delta);  // the compare already counted its own operands
                lastInstr_ = code.size() - 2;
                prevInstr_ = SIZE_MAX;
                return code.size() - 2;
            }
        }
        if (op == OP_JMPF && canFuse() && code.size() >= 2 && lastInstr_ == code.size() - 2) {
            uint32_t& fused = code[lastInstr_];
            if ((OpOf(fused) == OP_BINK || OpOf(fused) == OP_BINL) && IsOrdering(static_cast<Op>(ArgOf(fused)))) {
                fused = Encode(OpOf(fused) == OP_BINK ? OP_CMPKJMPF : OP_CMPLJMPF, ArgOf(fused));
                code.push_back(0);
                adjust(delta);
                prevInstr_ = SIZE_MAX;
                return lastInstr_;
            }
        }
        if (op == OP_JMPF && canFuse() && code.size() >= 3 && lastInstr_ == code.size() - 3) {
            uint32_t& fused = code[lastInstr_];
            if ((OpOf(fused) == OP_LBINK || OpOf(fused) == OP_LBINL) && IsOrdering(static_cast<Op>(ArgOf(fused)))) {
                fused = Encode(OpOf(fused) == OP_LBINK ? OP_LCMPKJMPF : OP_LCMPLJMPF, ArgOf(fused));
                code.push_back(0);
                adjust(delta);
                prevInstr_ = SIZE_MAX;
                return lastInstr_;
            }
        }
        return emit(op, 0, delta);
    }
    // `push operand; op` becomes one instruction that reads the operand from a constant or a local.
    void emitBinary(Op op) {
        if (IsFusableBinary(op) && canFuse() && lex_.tokenLine == fs_->lastLine) {
            if (uint32_t* last = lastSingle()) {
                const Op pushed = OpOf(*last);
                if (pushed == OP_PUSHINT || pushed == OP_PUSHCONST || pushed == OP_GETLOCAL) {
                    const int32_t operand = pushed == OP_PUSHINT ? constant(Value::Int(ArgOf(*last))) : ArgOf(*last);
                    const bool fromLocal = pushed == OP_GETLOCAL;
                    adjust(-1);
                    if (leftIsFusableLocal()) {  // both operands named: nothing goes through the stack
                        auto& code = fs_->p->code;
                        const int32_t left = ArgOf(code[prevInstr_]);
                        code[prevInstr_] = Encode(fromLocal ? OP_LBINL : OP_LBINK, op);
                        code.back() = static_cast<uint32_t>(left);
                        word(static_cast<uint32_t>(operand));
                        lastInstr_ = prevInstr_;
                        prevInstr_ = SIZE_MAX;
                        return;
                    }
                    *last = Encode(fromLocal ? OP_BINL : OP_BINK, op);
                    word(static_cast<uint32_t>(operand));
                    return;
                }
            }
        }
        emit(op, 0, -1);
    }
    // The instruction before the last is a GETLOCAL that no jump or line entry separates from it.
    bool leftIsFusableLocal() const {
        const auto& code = fs_->p->code;
        const auto& lines = fs_->p->lines;
        return prevInstr_ != SIZE_MAX && prevInstr_ + 2 == code.size() && OpOf(code[prevInstr_]) == OP_GETLOCAL &&
               lastTarget_ <= prevInstr_ && (lines.empty() || lines.back().first <= prevInstr_);
    }
    void patch(size_t at, size_t target) {
        if (target > lastTarget_) lastTarget_ = target;
        uint32_t& w = fs_->p->code[at];
        if (OpOf(w) == OP_CMPJMPF) {
            fs_->p->code[at + 1] = static_cast<uint32_t>(static_cast<int32_t>(target) - static_cast<int32_t>(at) - 2);
            return;
        }
        if (OpOf(w) == OP_CMPKJMPF || OpOf(w) == OP_CMPLJMPF) {
            fs_->p->code[at + 2] = static_cast<uint32_t>(static_cast<int32_t>(target) - static_cast<int32_t>(at) - 3);
            return;
        }
        if (OpOf(w) == OP_LCMPKJMPF || OpOf(w) == OP_LCMPLJMPF) {
            fs_->p->code[at + 3] = static_cast<uint32_t>(static_cast<int32_t>(target) - static_cast<int32_t>(at) - 4);
            return;
        }
        w = Encode(OpOf(w), static_cast<int32_t>(target) - static_cast<int32_t>(at) - 1);
    }
    void patchHere(size_t at) { patch(at, here()); }
    void jumpBack(size_t target) {
        emit(OP_JMP, static_cast<int32_t>(target) - static_cast<int32_t>(here()) - 1, 0);
    }
    int constant(const Value& v) {
        auto& k = fs_->p->constants;
        for (size_t i = 0; i < k.size(); ++i)
            if (RawEqual(k[i], v)) return static_cast<int>(i);
        k.push_back(v);
        return static_cast<int>(k.size() - 1);
    }
    int stringConst(String* s) { return constant(Value::Object(T::String, s)); }
    void pushInt(int32_t v) {
        if (v >= -(1 << 22) && v < (1 << 22)) emit(OP_PUSHINT, v, 1);
        else emit(OP_PUSHCONST, constant(Value::Int(v)), 1);
    }
    void popN(int n) {
        if (n <= 0) return;
        auto& code = fs_->p->code;
        if (n == 1 && canFuse()) {
            if (uint32_t* last = lastSingle(); last && OpOf(*last) == OP_SETLOCAL) {
                *last = Encode(OP_SETLOCALPOP, ArgOf(*last));
                adjust(-1);
                return;
            }
            // an increment whose value is not used: INCLOCAL's flag word gains "no push"
            if (code.size() >= 2 && lastInstr_ == code.size() - 2 && OpOf(code[lastInstr_]) == OP_INCLOCAL &&
                (code.back() & 4) == 0) {
                code.back() |= 4;
                adjust(-1);
                return;
            }
        }
        emit(OP_POP, n, -n);
    }

    // ---- names ----
    int findLocal(String* name) {
        for (auto it = fs_->locals.rbegin(); it != fs_->locals.rend(); ++it)
            if (it->name == name) return it->slot;
        return -1;
    }
    int findFree(String* name) {
        for (size_t i = 0; i < fs_->freeNames.size(); ++i)
            if (fs_->freeNames[i] == name) return static_cast<int>(i);
        return -1;
    }
    void declareLocal(String* name) { addLocal(*fs_, name, fs_->top - 1); }
    // A local of fs from the next instruction on, recorded for stack introspection.
    static void addLocal(FuncState& fs, String* name, int slot) {
        Proto* p = fs.p;
        p->locals.push_back({name, slot, static_cast<uint32_t>(p->code.size()), UINT32_MAX});
        fs.locals.push_back({name, slot, p->locals.size() - 1});
    }
    size_t scopeMark() const { return fs_->locals.size(); }
    void closeScope(size_t mark) {
        const int n = static_cast<int>(fs_->locals.size() - mark);
        for (size_t i = mark; i < fs_->locals.size(); ++i)
            if (fs_->locals[i].info != SIZE_MAX) fs_->p->locals[fs_->locals[i].info].endPc = static_cast<uint32_t>(fs_->p->code.size());
        fs_->locals.resize(mark);
        popN(n);
    }

    // ---- expressions ----
    void discharge(ExpDesc& e) {
        switch (e.kind) {
        case EK::Value: case EK::Parent: break;
        case EK::Local: emit(OP_GETLOCAL, e.index, 1); break;
        case EK::Free: emit(OP_GETFREE, e.index, 1); break;
        case EK::ThisName: emit(OP_GETTHIS, e.index, 1); break;
        case EK::Field:
            if (e.keyConst >= 0) emit(OP_GETK, e.keyConst, 0);
            else emit(OP_GET, 0, -1);
            break;
        }
        e.kind = EK::Value;
    }
    void materializeKey(ExpDesc& e) {
        if (e.kind == EK::Field && e.keyConst >= 0) {
            emit(OP_PUSHCONST, e.keyConst, 1);
            e.keyConst = -1;
        }
    }

    void commaExpr() {
        expression();
        while (tok() == ',') {
            next();
            popN(1);
            expression();
        }
    }

    // Recursion guard: absurdly nested source must fail cleanly, not overflow the C++ stack.
    struct DepthGuard {
        Compiler& c;
        explicit DepthGuard(Compiler& comp) : c(comp) {
            if (++c.depth_ > kMaxDepth) c.error("expression or statement nested too deeply");
        }
        ~DepthGuard() { --c.depth_; }
    };
    static constexpr int kMaxDepth = 200;

    void expression() {
        DepthGuard guard(*this);
        ExpDesc e = orExpr();
        const int t = tok();
        if (t == '=' || t == TK_NEWSLOT || t == TK_PLUSEQ || t == TK_MINUSEQ || t == TK_MULEQ || t == TK_DIVEQ || t == TK_MODEQ) {
            next();
            assignment(e, t);
            return;
        }
        discharge(e);
        if (t == '?') {
            next();
            const size_t jf = emitJump(OP_JMPF, -1);
            expression();
            const size_t jend = emitJump(OP_JMP, 0);
            adjust(-1);
            expect(':');
            patchHere(jf);
            expression();
            patchHere(jend);
        }
    }

    Op arithOp(int t) {
        switch (t) {
        case TK_PLUSEQ: return OP_ADD;
        case TK_MINUSEQ: return OP_SUB;
        case TK_MULEQ: return OP_MUL;
        case TK_DIVEQ: return OP_DIV;
        default: return OP_MOD;
        }
    }

    void assignment(ExpDesc& e, int t) {
        switch (e.kind) {
        case EK::Value: error("can't assign expression");
        case EK::Parent: error("parent cannot be set");
        case EK::Local:
            if (t == TK_NEWSLOT) error("can't 'create' a local slot");
            if (t != '=') emit(OP_GETLOCAL, e.index, 1);
            expression();
            if (t != '=') emitBinary(arithOp(t));
            emit(OP_SETLOCAL, e.index, 0);
            break;
        case EK::Free:
            if (t == '=' || t == TK_NEWSLOT) error("free variables cannot be modified");
            emit(OP_GETFREE, e.index, 1);
            expression();
            emit(arithOp(t), 0, -1);
            break;
        case EK::ThisName:
            if (t == TK_NEWSLOT) {
                emit(OP_PUSHTHIS, 0, 1);
                emit(OP_PUSHCONST, e.index, 1);
                expression();
                emit(OP_NEWSLOT, 0, -2);
            } else if (t == '=') {
                expression();
                emit(OP_SETTHIS, e.index, 0);
            } else {
                emit(OP_GETTHIS, e.index, 1);
                expression();
                emit(arithOp(t), 0, -1);
                emit(OP_SETTHISQ, e.index, 0);
            }
            break;
        case EK::Field:
            materializeKey(e);
            if (t == TK_NEWSLOT || t == '=') {
                expression();
                emit(t == '=' ? OP_SET : OP_NEWSLOT, 0, -2);
            } else {
                emit(OP_DUP2, 0, 2);
                emit(OP_GET, 0, -1);
                expression();
                emit(arithOp(t), 0, -1);
                emit(OP_SETQ, 0, -2);
            }
            break;
        }
        e.kind = EK::Value;
    }

    ExpDesc orExpr() {
        ExpDesc e = andExpr();
        if (tok() == TK_OR) {
            discharge(e);
            next();
            const size_t j = emitJump(OP_ORJ, -1);
            ExpDesc r = orExpr();
            discharge(r);
            patchHere(j);
        }
        return e;
    }

    ExpDesc andExpr() {
        ExpDesc e = binary(0);
        for (;;) {
            if (tok() == TK_AND) {
                discharge(e);
                next();
                const size_t j = emitJump(OP_ANDJ, -1);
                ExpDesc r = andExpr();
                discharge(r);
                patchHere(j);
            } else if (tok() == TK_IN || tok() == TK_INSTANCEOF) {
                const Op op = tok() == TK_IN ? OP_IN : OP_INSTANCEOF;
                discharge(e);
                next();
                ExpDesc r = binary(0);
                discharge(r);
                emit(op, 0, -1);
            } else {
                return e;
            }
        }
    }

    // Binary levels from loosest: | ^ & equality relational shift additive multiplicative.
    static int levelOf(int t, Op& op) {
        switch (t) {
        case '|': op = OP_BOR; return 0;
        case '^': op = OP_BXOR; return 1;
        case '&': op = OP_BAND; return 2;
        case TK_EQ: op = OP_EQ; return 3;
        case TK_NE: op = OP_NE; return 3;
        case '<': op = OP_LT; return 4;
        case TK_LE: op = OP_LE; return 4;
        case '>': op = OP_GT; return 4;
        case TK_GE: op = OP_GE; return 4;
        case TK_SHL: op = OP_SHL; return 5;
        case TK_SHR: op = OP_SHR; return 5;
        case TK_USHR: op = OP_USHR; return 5;
        case '+': op = OP_ADD; return 6;
        case '-': op = OP_SUB; return 6;
        case '*': op = OP_MUL; return 7;
        case '/': op = OP_DIV; return 7;
        case '%': op = OP_MOD; return 7;
        default: return -1;
        }
    }

    ExpDesc binary(int level) {
        if (level > 7) return prefix();
        ExpDesc e = binary(level + 1);
        for (;;) {
            Op op = OP_ADD;
            if (levelOf(tok(), op) != level) return e;
            discharge(e);
            next();
            ExpDesc r = binary(level + 1);
            discharge(r);
            emitBinary(op);
        }
    }

    void incDec(ExpDesc& e, bool dec, bool post) {
        const int flags = (dec ? 1 : 0) | (post ? 2 : 0);
        switch (e.kind) {
        case EK::Local: emit(OP_INCLOCAL, e.index, 1); word(static_cast<uint32_t>(flags)); break;
        case EK::ThisName: emit(OP_INCTHIS, e.index, 1); word(static_cast<uint32_t>(flags)); break;
        case EK::Field: materializeKey(e); emit(OP_INCFIELD, flags, -1); break;
        case EK::Free:
            emit(OP_GETFREE, e.index, 1);
            pushInt(1);
            emit(dec ? OP_SUB : OP_ADD, 0, -1);
            break;
        default:
            discharge(e);
            pushInt(1);
            emit(dec ? OP_SUB : OP_ADD, 0, -1);
            break;
        }
        e.kind = EK::Value;
    }

    ExpDesc prefix() {
        DepthGuard guard(*this);
        ExpDesc e;
        switch (tok()) {
        case '-': {
            next();
            if (tok() == TK_INT && !lex_.newlineBefore) {
                // fold the common literal case
                const int32_t v = static_cast<int32_t>(0u - static_cast<uint32_t>(lex_.intValue));
                next();
                if (!isPostfixStart()) { pushInt(v); return e; }
                pushInt(static_cast<int32_t>(0u - static_cast<uint32_t>(v)));  // the literal itself; OP_NEG follows
                e.kind = EK::Value;
                postfixChain(e);
                discharge(e);
                emit(OP_NEG, 0, 0);
                return e;
            }
            e = prefix();
            discharge(e);
            emit(OP_NEG, 0, 0);
            return e;
        }
        case '!': next(); e = prefix(); discharge(e); emit(OP_NOT, 0, 0); return e;
        case '~': next(); e = prefix(); discharge(e); emit(OP_BNOT, 0, 0); return e;
        case TK_TYPEOF: next(); e = prefix(); discharge(e); emit(OP_TYPEOF, 0, 0); return e;
        case TK_CLONE: next(); e = prefix(); discharge(e); emit(OP_CLONE, 0, 0); return e;
        case TK_RESUME: next(); e = prefix(); discharge(e); emit(OP_RESUME, 0, 0); return e;
        case TK_INC: case TK_DEC: {
            const bool dec = tok() == TK_DEC;
            next();
            e = postfixExpr();
            incDec(e, dec, false);
            return e;
        }
        case TK_DELETE: {
            next();
            e = postfixExpr();
            if (e.kind == EK::Local) error("cannot delete a local");
            if (e.kind == EK::ThisName) {
                emit(OP_PUSHTHIS, 0, 1);
                emit(OP_PUSHCONST, e.index, 1);
            } else if (e.kind == EK::Field) {
                materializeKey(e);
            } else {
                error("can't delete an expression");
            }
            emit(OP_DELETE, 0, -1);
            e.kind = EK::Value;
            return e;
        }
        default: return postfixExpr();
        }
    }

    bool isPostfixStart() const {
        return tok() == '.' || tok() == '(' || (tok() == '[' && !lex_.newlineBefore);
    }

    ExpDesc postfixExpr() {
        ExpDesc e = primary();
        postfixChain(e);
        return e;
    }

    void postfixChain(ExpDesc& e) {
        for (;;) {
            switch (tok()) {
            case '.': {
                next();
                if (tok() == TK_PARENT) {
                    next();
                    discharge(e);
                    emit(OP_PARENT, 0, 0);
                    e.kind = EK::Parent;
                    break;
                }
                String* name;
                if (tok() == TK_CONSTRUCTOR) { name = vm_.intern("constructor"); next(); }
                else name = expectIdent();
                discharge(e);
                e.kind = EK::Field;
                e.keyConst = stringConst(name);
                break;
            }
            case '[':
                if (lex_.newlineBefore) error("cannot brake deref/or comma needed after [exp]=exp slot declaration");
                next();
                discharge(e);
                expression();
                expect(']');
                e.kind = EK::Field;
                e.keyConst = -1;
                break;
            case '(': {
                next();
                switch (e.kind) {
                case EK::Field:
                    if (e.keyConst >= 0) emit(OP_GETMETHODK, e.keyConst, 1);
                    else emit(OP_GETMETHOD, 0, 0);
                    break;
                case EK::ThisName: emit(OP_GETTHISMETHOD, e.index, 2); break;
                default: discharge(e); emit(OP_PUSHTHIS, 0, 1); break;
                }
                int nargs = 0;
                while (tok() != ')') {
                    expression();
                    ++nargs;
                    if (tok() == ',') {
                        next();
                        if (tok() == ')') error("expression expected, found ')'");
                    }
                }
                const int closingLine = lex_.tokenLine;  // the call's line, not the next token's
                next();
                emit(OP_CALL, nargs, -(nargs + 1), closingLine);
                e.kind = EK::Value;
                break;
            }
            case TK_INC: case TK_DEC:
                if (lex_.newlineBefore) return;
                if (e.kind == EK::Value || e.kind == EK::Parent) return;
                {
                    const bool dec = tok() == TK_DEC;
                    next();
                    incDec(e, dec, true);
                }
                return;
            default: return;
            }
        }
    }

    ExpDesc primary() {
        ExpDesc e;
        switch (tok()) {
        case TK_INT: pushInt(lex_.intValue); next(); return e;
        case TK_FLOAT: emit(OP_PUSHCONST, constant(Value::Float(lex_.floatValue)), 1); next(); return e;
        case TK_STRING: emit(OP_PUSHCONST, stringConst(vm_.intern(lex_.text)), 1); next(); return e;
        case TK_NULL: emit(OP_PUSHNULL, 0, 1); next(); return e;
        case TK_TRUE: emit(OP_PUSHTRUE, 0, 1); next(); return e;
        case TK_FALSE: emit(OP_PUSHFALSE, 0, 1); next(); return e;
        case TK_THIS: emit(OP_PUSHTHIS, 0, 1); next(); return e;
        case TK_CONSTRUCTOR: case TK_IDENT: {
            String* name = tok() == TK_IDENT ? vm_.intern(lex_.text) : vm_.intern("constructor");
            next();
            const int slot = findLocal(name);
            if (slot >= 0) { e.kind = EK::Local; e.index = slot; return e; }
            const int fr = findFree(name);
            if (fr >= 0) { e.kind = EK::Free; e.index = fr; return e; }
            e.kind = EK::ThisName;
            e.index = stringConst(name);
            return e;
        }
        case TK_DOUBLECOLON: {
            next();
            String* name = expectIdent();
            emit(OP_PUSHROOT, 0, 1);
            e.kind = EK::Field;
            e.keyConst = stringConst(name);
            return e;
        }
        case '(': next(); commaExpr(); expect(')'); return e;
        case '{': next(); tableBody('}'); return e;
        case '[': {
            next();
            emit(OP_NEWARRAY, 0, 1);
            while (tok() != ']') {
                expression();
                emit(OP_APPEND, 0, -1);
                if (tok() == ',') next();
            }
            next();
            return e;
        }
        case TK_FUNCTION: next(); functionExpr(vm_.intern("unknown")); return e;
        case TK_CLASS: next(); classExpr(); return e;
        case TK_DELEGATE: next(); commaExpr(); expect(':'); commaExpr(); emit(OP_DELEGATE, 0, -1); return e;
        case TK_VARGC: next(); emit(OP_VARGC, 0, 1); return e;
        case TK_VARGV: next(); expect('['); expression(); expect(']'); emit(OP_VARGV, 0, 0); return e;
        default: error("expression expected");
        }
    }

    // Slots of a table constructor (or of an attribute block, closed by `close`).
    void tableBody(int close) {
        emit(OP_NEWTABLE, 0, 1);
        while (tok() != close) {
            slotDefinition(false);
            emit(OP_TABLESLOT, 0, -2);
            if (tok() == ',') next();
        }
        next();
    }

    // Pushes key and value of one table/class slot.
    void slotDefinition(bool inClass) {
        (void)inClass;
        if (tok() == TK_FUNCTION) {
            next();
            String* name = expectIdent();
            emit(OP_PUSHCONST, stringConst(name), 1);
            functionExpr(name);
        } else if (tok() == TK_CONSTRUCTOR) {
            next();
            if (tok() != '(') error("expected '('");
            String* name = vm_.intern("constructor");
            emit(OP_PUSHCONST, stringConst(name), 1);
            functionExpr(name);
        } else if (tok() == '[') {
            next();
            commaExpr();
            expect(']');
            expect('=');
            expression();
        } else {
            String* name = expectIdent();
            emit(OP_PUSHCONST, stringConst(name), 1);
            expect('=');
            expression();
        }
    }

    // Parses params, free variables and body; leaves the new closure on the stack.
    void functionExpr(String* name) {
        expect('(');
        auto child = std::make_unique<FuncState>();
        Proto* p = vm_.alloc<Proto>();
        p->name = name;
        p->source = source_;
        p->paramNames.push_back(vm_.intern("this"));
        p->locals.push_back({p->paramNames[0], 0, 0, UINT32_MAX});
        child->p = p;
        child->parent = fs_;
        while (tok() != ')') {
            if (tok() == TK_VARPARAMS) {
                next();
                p->varargs = true;
                if (tok() != ')') error("expected ')'");
                break;
            }
            String* pn = expectIdent();
            p->paramNames.push_back(pn);
            addLocal(*child, pn, child->top);
            child->top++;
            if (tok() == ',') next();
            else if (tok() != ')') error("expected ')' or ','");
        }
        next();
        p->paramCount = static_cast<int>(p->paramNames.size());
        child->p->maxStack = child->top;
        std::vector<String*> freeNames;
        if (tok() == ':') {
            next();
            expect('(');
            while (tok() != ')') {
                freeNames.push_back(expectIdent());
                if (tok() == ',') next();
                else if (tok() != ')') error("expected ')' or ','");
            }
            next();
        }
        child->freeNames = freeNames;
        // Free values are computed in the creating function.
        for (String* fn : freeNames) {
            const int slot = findLocal(fn);
            const int fr = findFree(fn);
            if (slot >= 0) emit(OP_GETLOCAL, slot, 1);
            else if (fr >= 0) emit(OP_GETFREE, fr, 1);
            else emit(OP_GETTHIS, stringConst(fn), 1);
        }
        FuncState* saved = fs_;
        const size_t savedTarget = lastTarget_;
        const size_t savedInstr = lastInstr_;
        const size_t savedPrev = prevInstr_;
        lastTarget_ = 0;
        lastInstr_ = prevInstr_ = SIZE_MAX;
        fs_ = child.get();
        statement();
        emit(OP_RETURNNULL, 0, 0);
        fs_ = saved;
        lastTarget_ = savedTarget;
        lastInstr_ = savedInstr;
        prevInstr_ = savedPrev;
        saved->p->children.push_back(p);
        const int n = static_cast<int>(freeNames.size());
        emit(OP_CLOSURE, static_cast<int32_t>(saved->p->children.size() - 1), 1 - n);
        word(static_cast<uint32_t>(n));
    }

    void classExpr() {
        int flags = 0;
        if (tok() == TK_EXTENDS) { next(); ExpDesc b = postfixExpr(); discharge(b); flags |= 1; }
        if (tok() == TK_ATTR_OPEN) { next(); tableBody(TK_ATTR_CLOSE); flags |= 2; }
        emit(OP_CLASS, flags, 1 - ((flags & 1) ? 1 : 0) - ((flags & 2) ? 1 : 0));
        expect('{');
        while (tok() != '}') {
            int mflags = 0;
            bool hasAttrs = false;
            if (tok() == TK_ATTR_OPEN) hasAttrs = true;
            if (hasAttrs) {
                // attributes are evaluated after key and value: compile into a temporary by ordering
                next();
                tableBody(TK_ATTR_CLOSE);
                mflags |= 2;
            }
            if (tok() == TK_STATIC) { next(); mflags |= 1; }
            slotDefinition(true);
            emit(OP_CLASSMEMBER, mflags, hasAttrs ? -3 : -2);
            if (tok() == ';') next();
        }
        next();
    }

    // ---- statements ----
    void endOfStatement() {
        if (prevToken_ == '}') return;
        if (tok() == ';' && extraEnd_ == TK_WHILE) return;  // `do x++; while` is refused by expect()
        if (tok() == ';') { next(); return; }
        if (tok() == '}' || tok() == TK_EOS || lex_.newlineBefore || tok() == TK_ELSE || tok() == extraEnd_) return;
        error("end of statement expected (; or lf)");
    }

    void statement() {
        DepthGuard guard(*this);
        switch (tok()) {
        case ';': next(); return;
        case '{': {
            next();
            const size_t mark = scopeMark();
            const int savedExtra = extraEnd_;
            extraEnd_ = -1;
            while (tok() != '}') {
                if (tok() == TK_EOS) error("expected '}'");
                statement();
            }
            extraEnd_ = savedExtra;
            next();
            closeScope(mark);
            return;
        }
        case TK_IF: ifStatement(); return;
        case TK_WHILE: whileStatement(); return;
        case TK_DO: doStatement(); return;
        case TK_FOR: forStatement(); return;
        case TK_FOREACH: foreachStatement(); return;
        case TK_SWITCH: switchStatement(); return;
        case TK_TRY: tryStatement(); return;
        case TK_LOCAL: localStatement(); endOfStatement(); return;
        case TK_FUNCTION: functionStatement(); return;
        case TK_CLASS: classStatement(); return;
        case TK_RETURN: {
            next();
            if (tok() == ';' || tok() == '}' || tok() == TK_EOS || lex_.newlineBefore) {
                emit(OP_RETURNNULL, 0, 0);
            } else {
                commaExpr();
                if (uint32_t* last = lastSingle(); last && OpOf(*last) == OP_CALL && !fs_->p->generator)
                    *last = Encode(OP_TAILCALL, ArgOf(*last));
                emit(OP_RETURN, 0, -1);
            }
            endOfStatement();
            return;
        }
        case TK_YIELD: {
            next();
            fs_->p->generator = true;
            if (tok() == ';' || tok() == '}' || tok() == TK_EOS || lex_.newlineBefore) emit(OP_PUSHNULL, 0, 1);
            else commaExpr();
            emit(OP_YIELD, 0, -1);
            endOfStatement();
            return;
        }
        case TK_THROW: next(); commaExpr(); emit(OP_THROW, 0, -1); endOfStatement(); return;
        case TK_BREAK: case TK_CONTINUE: {
            const bool isBreak = tok() == TK_BREAK;
            next();
            Loop* loop = nullptr;
            for (auto it = fs_->loops.rbegin(); it != fs_->loops.rend(); ++it) {
                if (isBreak || !it->isSwitch) { loop = &*it; break; }
            }
            if (!loop) error(isBreak ? "'break' has to be in a loop block" : "'continue' has to be in a loop block");
            const int savedTop = fs_->top;
            if (fs_->trapDepth > loop->trapDepth) emit(OP_POPTRAP, fs_->trapDepth - loop->trapDepth, 0);
            popN(fs_->top - loop->stackTop);
            const size_t j = emitJump(OP_JMP, 0);
            (isBreak ? loop->breaks : loop->continues).push_back(j);
            fs_->top = savedTop;
            endOfStatement();
            return;
        }
        default: {
            // Expression statement; increments of locals avoid a push/pop pair.
            commaExprStatement();
            endOfStatement();
            return;
        }
        }
    }

    void commaExprStatement() {
        expression();
        while (tok() == ',') { next(); popN(1); expression(); }
        popN(1);
    }

    void localStatement() {
        next();
        for (;;) {
            String* name = tok() == TK_CONSTRUCTOR ? (next(), vm_.intern("constructor")) : expectIdent();
            if (tok() == '=') { next(); expression(); }
            else emit(OP_PUSHNULL, 0, 1);
            declareLocal(name);
            if (tok() != ',') break;
            next();
        }
    }

    void condition() {
        expect('(');
        commaExpr();
        expect(')');
    }

    void subStatement() {
        statement();
    }

    void ifStatement() {
        next();
        condition();
        const size_t jf = emitJump(OP_JMPF, -1);
        {
            const size_t mark = scopeMark();
            subStatement();
            closeScope(mark);
        }
        if (tok() == TK_ELSE) {
            const size_t je = emitJump(OP_JMP, 0);
            patchHere(jf);
            next();
            const size_t mark = scopeMark();
            subStatement();
            closeScope(mark);
            patchHere(je);
        } else {
            patchHere(jf);
        }
    }

    void beginLoop(bool isSwitch) {
        fs_->loops.push_back(Loop{{}, {}, fs_->top, fs_->trapDepth, isSwitch});
    }
    void endLoop(size_t breakTarget, size_t continueTarget) {
        Loop l = fs_->loops.back();
        fs_->loops.pop_back();
        for (size_t j : l.breaks) patch(j, breakTarget);
        for (size_t j : l.continues) patch(j, continueTarget);
    }

    void loopBody() {
        const size_t mark = scopeMark();
        statement();
        closeScope(mark);
    }

    void whileStatement() {
        next();
        const size_t start = here();
        condition();
        const size_t jf = emitJump(OP_JMPF, -1);
        beginLoop(false);
        loopBody();
        jumpBack(start);
        patchHere(jf);
        endLoop(here(), start);
    }

    void doStatement() {
        next();
        const size_t start = here();
        beginLoop(false);
        const int savedExtra = extraEnd_;
        extraEnd_ = TK_WHILE;
        loopBody();
        extraEnd_ = savedExtra;
        const size_t cond = here();
        expect(TK_WHILE);
        condition();
        const size_t jt = emitJump(OP_JMPT, -1);
        patch(jt, start);
        endLoop(here(), cond);
    }

    void forStatement() {
        next();
        expect('(');
        const size_t mark = scopeMark();
        if (tok() == TK_LOCAL) localStatement();
        else if (tok() != ';') commaExprStatement();
        expect(';');
        const size_t condStart = here();
        size_t jf = SIZE_MAX;
        if (tok() != ';') {
            commaExpr();
            jf = emitJump(OP_JMPF, -1);
        }
        expect(';');
        // The step is compiled now but placed after the body.
        const size_t stepStart = here();
        const size_t lineMark = fs_->p->lines.size();
        if (tok() != ')') commaExprStatement();
        std::vector<uint32_t> step(fs_->p->code.begin() + static_cast<long>(stepStart), fs_->p->code.end());
        fs_->p->code.resize(stepStart);
        fs_->p->lines.resize(lineMark);
        fs_->lastLine = -1;
        expect(')');
        beginLoop(false);
        loopBody();
        const size_t stepAt = here();
        for (uint32_t w : step) fs_->p->code.push_back(w);
        lastInstr_ = prevInstr_ = SIZE_MAX;
        jumpBack(condStart);
        if (jf != SIZE_MAX) patchHere(jf);
        endLoop(here(), stepAt);
        closeScope(mark);
    }

    void foreachStatement() {
        next();
        expect('(');
        String* first = expectIdent();
        String* keyName = nullptr;
        String* valName = first;
        if (tok() == ',') { next(); keyName = first; valName = expectIdent(); }
        expect(TK_IN);
        const size_t mark = scopeMark();
        commaExpr();
        expect(')');
        const int slot = fs_->top - 1;  // container
        declareLocal(vm_.intern("@container"));
        emit(OP_PUSHNULL, 0, 1);  // iterator state
        declareLocal(vm_.intern("@iterator"));
        emit(OP_PUSHNULL, 0, 1);
        declareLocal(keyName ? keyName : vm_.intern("@index"));
        emit(OP_PUSHNULL, 0, 1);
        declareLocal(valName);
        const size_t loopAt = emit(OP_FOREACH, slot, 0);
        word(0);
        beginLoop(false);
        loopBody();
        jumpBack(loopAt);
        const size_t exit = here();
        fs_->p->code[loopAt + 1] = static_cast<uint32_t>(exit);
        endLoop(exit, loopAt);
        closeScope(mark);
    }

    void switchStatement() {
        next();
        const size_t mark = scopeMark();
        condition();
        declareLocal(vm_.intern("@switch"));
        const int subject = fs_->top - 1;
        expect('{');
        beginLoop(true);
        size_t pendingTest = SIZE_MAX;     // JMPF to the next case test
        size_t pendingFall = SIZE_MAX;     // JMP from the end of a body into the next body
        while (tok() == TK_CASE) {
            next();
            if (pendingTest != SIZE_MAX) patchHere(pendingTest);
            emit(OP_GETLOCAL, subject, 1);
            expression();
            expect(':');
            emit(OP_EQ, 0, -1);
            pendingTest = emitJump(OP_JMPF, -1);
            if (pendingFall != SIZE_MAX) patchHere(pendingFall);
            caseBody();
            pendingFall = emitJump(OP_JMP, 0);
        }
        if (tok() == TK_DEFAULT) {
            next();
            expect(':');
            if (pendingTest != SIZE_MAX) { patchHere(pendingTest); pendingTest = SIZE_MAX; }
            if (pendingFall != SIZE_MAX) { patchHere(pendingFall); pendingFall = SIZE_MAX; }
            caseBody();
        }
        expect('}');
        if (pendingTest != SIZE_MAX) patchHere(pendingTest);
        if (pendingFall != SIZE_MAX) patchHere(pendingFall);
        endLoop(here(), here());
        closeScope(mark);
    }

    void caseBody() {
        const size_t mark = scopeMark();
        while (tok() != TK_CASE && tok() != TK_DEFAULT && tok() != '}') {
            if (tok() == TK_EOS) error("expected '}'");
            statement();
        }
        closeScope(mark);
    }

    void tryStatement() {
        next();
        const size_t trap = emitJump(OP_TRAP, 0);
        fs_->trapDepth++;
        loopBody();
        fs_->trapDepth--;
        emit(OP_POPTRAP, 1, 0);
        const size_t jend = emitJump(OP_JMP, 0);
        patchHere(trap);
        expect(TK_CATCH);
        expect('(');
        String* name = expectIdent();
        expect(')');
        const size_t mark = scopeMark();
        adjust(1);  // the VM pushes the caught value
        declareLocal(name);
        statement();
        closeScope(mark);
        patchHere(jend);
    }

    void functionStatement() {
        next();
        String* name = expectIdent();
        if (tok() != TK_DOUBLECOLON) {
            emit(OP_PUSHTHIS, 0, 1);
            emit(OP_PUSHCONST, stringConst(name), 1);
        } else {
            emit(OP_GETTHIS, stringConst(name), 1);
            while (tok() == TK_DOUBLECOLON) {
                next();
                String* part = expectIdent();
                if (tok() == TK_DOUBLECOLON) emit(OP_GETK, stringConst(part), 0);
                else { name = part; emit(OP_PUSHCONST, stringConst(part), 1); }
            }
        }
        functionExpr(name);
        emit(OP_NEWSLOT, 0, -2);
        popN(1);
    }

    void classStatement() {
        next();
        ExpDesc target;
        if (tok() == TK_DOUBLECOLON) {
            next();
            String* n = expectIdent();
            emit(OP_PUSHROOT, 0, 1);
            emit(OP_PUSHCONST, stringConst(n), 1);
        } else {
            String* n = expectIdent();
            const int slot = findLocal(n);
            if (slot >= 0 && tok() != '.' && tok() != '[')
                error("cannot create a class in a local with the syntax(class <local>)");
            if (slot >= 0) { target.kind = EK::Local; target.index = slot; }
            else { target.kind = EK::ThisName; target.index = stringConst(n); }
            if (tok() != '.' && tok() != '[') {
                emit(OP_PUSHTHIS, 0, 1);
                emit(OP_PUSHCONST, target.index, 1);
            } else {
                while (tok() == '.' || tok() == '[') {
                    discharge(target);
                    if (tok() == '.') {
                        next();
                        target.kind = EK::Field;
                        target.keyConst = stringConst(expectIdent());
                    } else {
                        next();
                        expression();
                        expect(']');
                        target.kind = EK::Field;
                        target.keyConst = -1;
                    }
                }
                materializeKey(target);
            }
        }
        classExpr();
        emit(OP_NEWSLOT, 0, -2);
        popN(1);
    }

    Vm& vm_;
    Lexer lex_;
    String* source_;
    FuncState* fs_ = nullptr;
    int prevToken_ = 0;
    int extraEnd_ = -1;
    int depth_ = 0;
    size_t lastTarget_ = 0;  // highest code offset a forward jump was patched to
    size_t lastInstr_ = SIZE_MAX;  // offset of the last emitted instruction
    size_t prevInstr_ = SIZE_MAX;  // offset of the one before it, when known
};

}  // namespace

Proto* Compile(Vm& vm, std::string_view source, std::string_view sourceName) {
    Compiler c(vm, source, sourceName);
    return c.compileMain();
}

}  // namespace sq
