// The op program tree: nodes with a first child (body) and a following node (next).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "procedures/ProcOp.h"

namespace halvex {

enum class ProcNodeKind : int32_t { Empty = 0, Group = 1, Op = 2, Number = 4, Text = 5 };

// A node owns its body and next subtrees. Chains along next can be as long as a file, so
// destruction and copying walk them iteratively; body nesting is bounded by the grammar.
class ProcNode {
public:
    ProcNodeKind kind = ProcNodeKind::Empty;
    ProcOp op = ProcOp::Nop;  // kind Op
    float number = 0.0f;      // kind Number
    std::string text;         // kind Text
    ProcNode* parent = nullptr;
    std::unique_ptr<ProcNode> body;
    std::unique_ptr<ProcNode> next;
    // Not owned: where the chain goes on once next is empty. Runway parts continue this way
    // into legs another part owns, so a file's legs are held once however many parts use them.
    ProcNode* sharedNext = nullptr;
    uint64_t serial;

    ProcNode();
    ~ProcNode();
    ProcNode(const ProcNode&) = delete;
    ProcNode& operator=(const ProcNode&) = delete;

    static std::unique_ptr<ProcNode> MakeGroup(std::unique_ptr<ProcNode> body = nullptr);
    static std::unique_ptr<ProcNode> MakeOp(ProcOp op, std::unique_ptr<ProcNode> body = nullptr);
    static std::unique_ptr<ProcNode> MakeNumber(float value);
    static std::unique_ptr<ProcNode> MakeText(std::string value);

    bool IsOp(ProcOp o) const { return kind == ProcNodeKind::Op && op == o; }

    // The node that follows in a run: next, else the shared continuation.
    const ProcNode* Following() const { return next ? next.get() : sharedNext; }

    // Deep copy of this node with its body and everything after it along next; fresh serials.
    // Shared continuations are not copied.
    std::unique_ptr<ProcNode> Clone() const;

    // Link helpers keeping parent pointers right. Both return the node just linked.
    ProcNode* SetBody(std::unique_ptr<ProcNode> child);
    ProcNode* SetNext(std::unique_ptr<ProcNode> following);

    // Last node of the chain that starts here (this node when next is empty).
    ProcNode* Last();
};

// Serials come from one process-wide counter; this is the number of nodes created so far.
uint64_t ProcNodesCreated();

}  // namespace halvex
