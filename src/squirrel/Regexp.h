// Regexp: the library's pattern language and its non-backtracking matcher.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sq {

class Regexp {
public:
    struct Capture { int begin = 0; int end = 0; };

    // Throws std::string with the compile error message.
    explicit Regexp(std::string_view pattern);
    ~Regexp();

    bool match(std::string_view text);
    // First match at or after start; false when none. captures[0] is the whole match.
    bool search(std::string_view text, int start, std::vector<Capture>& captures);
    int subexpCount() const { return groups_; }

    struct Elem;
    using Seq = std::vector<Elem>;

private:
    struct Cont;
    bool attempt(std::string_view text, int at, int searchStart, std::vector<Capture>& caps, int& end);
    int matchSeq(const Seq& seq, size_t i, int pos, const Cont* parent);
    int matchElem(const Elem& e, int pos, const Cont& follow);
    int matchGroup(const Elem& e, int pos, const Cont& follow);
    const Elem* follower(const Cont& c, Cont& after) const;

    std::unique_ptr<Elem> root_;
    int groups_ = 1;
    // per attempt
    std::string_view text_;
    int searchStart_ = 0;
    int nextCapture_ = 0;
    std::vector<Capture>* caps_ = nullptr;
};

}  // namespace sq
