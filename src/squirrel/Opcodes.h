// Bytecode of the stack machine. One 32-bit word per instruction: low 8 bits the opcode, the
// upper 24 bits a signed argument. A few instructions take a second word.
#pragma once

#include <cstdint>

namespace sq {

enum Op : uint8_t {
    OP_PUSHNULL, OP_PUSHTRUE, OP_PUSHFALSE, OP_PUSHINT, OP_PUSHCONST, OP_PUSHTHIS, OP_PUSHROOT,
    OP_GETLOCAL, OP_SETLOCAL, OP_GETFREE, OP_POP, OP_DUP, OP_DUP2, OP_SWAP,
    OP_GET, OP_GETK, OP_SET, OP_SETQ, OP_NEWSLOT, OP_DELETE,
    OP_GETTHIS, OP_SETTHIS, OP_SETTHISQ, OP_NEWSLOTTHIS,
    OP_GETMETHOD, OP_GETMETHODK, OP_GETTHISMETHOD,
    OP_CALL, OP_TAILCALL, OP_RETURN, OP_RETURNNULL,
    OP_ADD, OP_SUB, OP_MUL, OP_DIV, OP_MOD, OP_NEG, OP_NOT, OP_BNOT,
    OP_BAND, OP_BOR, OP_BXOR, OP_SHL, OP_SHR, OP_USHR,
    OP_EQ, OP_NE, OP_LT, OP_LE, OP_GT, OP_GE,
    OP_TYPEOF, OP_CLONE, OP_RESUME, OP_IN, OP_INSTANCEOF,
    OP_JMP, OP_JMPF, OP_JMPT, OP_ANDJ, OP_ORJ,
    OP_NEWTABLE, OP_NEWARRAY, OP_APPEND, OP_TABLESLOT,
    OP_CLOSURE,      // arg: proto index; second word: free-variable count
    OP_CLASS,        // arg: 1 when a base is on the stack, 2 when attributes are
    OP_CLASSMEMBER,  // arg: 1 static, 2 attributes present
    OP_DELEGATE, OP_PARENT, OP_VARGC, OP_VARGV,
    OP_FOREACH,      // arg: first hidden slot; second word: jump offset when done
    OP_TRAP, OP_POPTRAP, OP_THROW, OP_YIELD,
    OP_INCLOCAL,     // arg: slot; second word: delta | post<<8
    OP_INCFIELD,     // arg: delta | post<<8 ; obj key -> value
    OP_INCTHIS,      // arg: const; second word: delta | post<<8
    OP_SETLOCALPOP,  // store into a local and drop the value (assignment statements)
    OP_CMPJMPF,      // fused compare and jump-if-false: arg the compare op; second word the offset
    OP_BINK,         // binary op with a constant right operand: arg the op; second word the constant
    OP_BINL,         // binary op with a local right operand: arg the op; second word the slot
    OP_CMPKJMPF,     // compare with a constant, jump if false: arg the op; words: constant, offset
    OP_CMPLJMPF,     // compare with a local, jump if false: arg the op; words: slot, offset
    OP_LBINK,        // push local op constant: arg the op; words: slot, constant
    OP_LBINL,        // push local op local: arg the op; words: left slot, right slot
    OP_LCMPKJMPF,    // local compared with a constant, jump if false: arg the op; words: slot, constant, offset
    OP_LCMPLJMPF,    // local compared with a local, jump if false: arg the op; words: slot, slot, offset
    OP_COUNT
};

inline uint32_t Encode(Op op, int32_t arg = 0) { return static_cast<uint32_t>(op) | (static_cast<uint32_t>(arg) << 8); }
inline Op OpOf(uint32_t w) { return static_cast<Op>(w & 0xFF); }
inline int32_t ArgOf(uint32_t w) { return static_cast<int32_t>(w) >> 8; }

}  // namespace sq
