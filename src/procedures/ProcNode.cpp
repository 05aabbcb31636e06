#include "procedures/ProcNode.h"

#include <atomic>

namespace halvex {

namespace {
std::atomic<uint64_t> g_nodeCounter{0};
}

uint64_t ProcNodesCreated() { return g_nodeCounter.load(std::memory_order_relaxed); }

ProcNode::ProcNode() : serial(g_nodeCounter.fetch_add(1, std::memory_order_relaxed) + 1) {}

ProcNode::~ProcNode() {
    // Unlink the next chain one node at a time so a long chain does not recurse.
    std::unique_ptr<ProcNode> rest = std::move(next);
    while (rest) rest = std::move(rest->next);
}

std::unique_ptr<ProcNode> ProcNode::MakeGroup(std::unique_ptr<ProcNode> body) {
    auto n = std::make_unique<ProcNode>();
    n->kind = ProcNodeKind::Group;
    n->SetBody(std::move(body));
    return n;
}

std::unique_ptr<ProcNode> ProcNode::MakeOp(ProcOp op, std::unique_ptr<ProcNode> body) {
    auto n = std::make_unique<ProcNode>();
    n->kind = ProcNodeKind::Op;
    n->op = op;
    n->SetBody(std::move(body));
    return n;
}

std::unique_ptr<ProcNode> ProcNode::MakeNumber(float value) {
    auto n = std::make_unique<ProcNode>();
    n->kind = ProcNodeKind::Number;
    n->number = value;
    return n;
}

std::unique_ptr<ProcNode> ProcNode::MakeText(std::string value) {
    auto n = std::make_unique<ProcNode>();
    n->kind = ProcNodeKind::Text;
    n->text = std::move(value);
    return n;
}

ProcNode* ProcNode::SetBody(std::unique_ptr<ProcNode> child) {
    body = std::move(child);
    if (body) body->parent = this;
    return body.get();
}

ProcNode* ProcNode::SetNext(std::unique_ptr<ProcNode> following) {
    next = std::move(following);
    if (next) next->parent = this;
    return next.get();
}

ProcNode* ProcNode::Last() {
    ProcNode* n = this;
    while (n->next) n = n->next.get();
    return n;
}

std::unique_ptr<ProcNode> ProcNode::Clone() const {
    auto copyOne = [](const ProcNode& from) {
        auto n = std::make_unique<ProcNode>();
        n->kind = from.kind;
        n->op = from.op;
        n->number = from.number;
        n->text = from.text;
        if (from.body) n->SetBody(from.body->Clone());
        return n;
    };
    std::unique_ptr<ProcNode> head = copyOne(*this);
    ProcNode* tail = head.get();
    for (const ProcNode* from = next.get(); from; from = from->next.get()) tail = tail->SetNext(copyOne(*from));
    return head;
}

}  // namespace halvex
