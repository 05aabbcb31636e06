#include "squirrel/Regexp.h"

#include <cctype>

namespace sq {

enum class EKind { Char, Any, Class, Bol, Eol, WordB, NotWordB, Group };

struct Regexp::Elem {
    EKind kind = EKind::Char;
    unsigned char ch = 0;
    bool set[256] = {};
    int min = 1, max = 1;
    bool quantified = false;
    int capture = -1;  // group number, -1 for (?:...)
    std::vector<Seq> alts;
};

struct Regexp::Cont {
    const Seq* seq;
    size_t index;
    const Cont* parent;
};

namespace {

bool classEscape(char c, int ch) {
    switch (c) {
    case 'a': return std::isalpha(ch);
    case 'A': return !std::isalpha(ch);
    case 'w': return std::isalnum(ch) || ch == '_';
    case 'W': return !(std::isalnum(ch) || ch == '_');
    case 's': return std::isspace(ch);
    case 'S': return !std::isspace(ch);
    case 'd': return std::isdigit(ch);
    case 'D': return !std::isdigit(ch);
    case 'x': return std::isxdigit(ch);
    case 'X': return !std::isxdigit(ch);
    case 'c': return std::iscntrl(ch);
    case 'C': return !std::iscntrl(ch);
    case 'p': return std::ispunct(ch);
    case 'P': return !std::ispunct(ch);
    case 'l': return std::islower(ch);
    case 'u': return std::isupper(ch);
    default: return false;
    }
}

bool isClassEscape(char c) { return std::string_view("aAwWsSdDxXcCpPlu").find(c) != std::string_view::npos; }

int controlEscape(char c) {
    switch (c) {
    case 't': return '\t';
    case 'n': return '\n';
    case 'r': return '\r';
    case 'f': return '\f';
    case 'v': return '\v';
    default: return -1;
    }
}

class Parser {
public:
    Parser(std::string_view p, int& groups) : p_(p), groups_(groups) {}

    void parseAlts(Regexp::Elem& group, bool top) {
        for (;;) {
            group.alts.emplace_back();
            parseSeq(group.alts.back());
            if (group.alts.back().empty()) {
                if (top) throw std::string(group.alts.size() > 1 ? "letter expected" : (i_ < p_.size() ? "unexpected character" : "letter expected"));
                throw std::string("expected paren");
            }
            if (i_ < p_.size() && p_[i_] == '|') { ++i_; continue; }
            return;
        }
    }
    size_t pos() const { return i_; }

private:
    void parseSeq(Regexp::Seq& seq) {
        while (i_ < p_.size() && p_[i_] != '|' && p_[i_] != ')') {
            Regexp::Elem e;
            const char c = p_[i_];
            if (c == '(') {
                ++i_;
                e.kind = EKind::Group;
                if (i_ + 1 < p_.size() && p_[i_] == '?' && p_[i_ + 1] == ':') i_ += 2;
                else if (i_ < p_.size() && p_[i_] == '?') throw std::string("expected paren");
                else e.capture = groups_++;
                if (i_ < p_.size() && p_[i_] == ')') throw std::string("expected paren");
                parseAlts(e, false);
                if (i_ >= p_.size() || p_[i_] != ')') throw std::string("expected paren");
                ++i_;
            } else if (c == '[') {
                ++i_;
                parseClass(e);
            } else if (c == '\\') {
                ++i_;
                if (i_ >= p_.size()) throw std::string("letter expected for argument of escape sequence");
                const char x = p_[i_++];
                if (x == 'b') e.kind = EKind::WordB;
                else if (x == 'B') e.kind = EKind::NotWordB;
                else if (isClassEscape(x)) {
                    e.kind = EKind::Class;
                    for (int ch = 0; ch < 256; ++ch) e.set[ch] = classEscape(x, ch);
                } else {
                    const int ctl = controlEscape(x);
                    e.ch = static_cast<unsigned char>(ctl >= 0 ? ctl : x);
                }
            } else if (c == '.') {
                ++i_;
                e.kind = EKind::Any;
            } else if (c == '^' && seq.empty()) {
                ++i_;
                e.kind = EKind::Bol;
            } else if (c == '$') {
                ++i_;
                e.kind = EKind::Eol;
            } else if (c == '*' || c == '+' || c == '?' || c == '{') {
                throw std::string("unexpected character");
            } else {
                const auto uc = static_cast<unsigned char>(c);
                if (uc < 32 || uc >= 127) throw std::string("letter expected");
                ++i_;
                e.ch = uc;
            }
            parseQuantifier(e);
            seq.push_back(std::move(e));
        }
    }

    int number() {
        if (i_ >= p_.size() || !std::isdigit(static_cast<unsigned char>(p_[i_]))) throw std::string("number expected");
        long v = 0;
        while (i_ < p_.size() && std::isdigit(static_cast<unsigned char>(p_[i_]))) {
            v = v * 10 + (p_[i_++] - '0');
            if (v > 65534) throw std::string("overflow in numeric constant");
        }
        return static_cast<int>(v);
    }

    void parseQuantifier(Regexp::Elem& e) {
        if (i_ >= p_.size()) return;
        const char c = p_[i_];
        if (c == '*') { e.min = 0; e.max = -1; }
        else if (c == '+') { e.min = 1; e.max = -1; }
        else if (c == '?') { e.min = 0; e.max = 1; }
        else if (c == '{') {
            ++i_;
            e.min = number();
            e.max = e.min;
            if (i_ < p_.size() && p_[i_] == ',') {
                ++i_;
                e.max = (i_ < p_.size() && p_[i_] == '}') ? -1 : number();
            }
            if (i_ >= p_.size() || p_[i_] != '}') throw std::string(", or } expected");
        } else {
            return;
        }
        ++i_;
        e.quantified = true;
        if (i_ < p_.size() && (p_[i_] == '*' || p_[i_] == '+' || p_[i_] == '?' || p_[i_] == '{'))
            throw std::string("unexpected character");
    }

    void parseClass(Regexp::Elem& e) {
        e.kind = EKind::Class;
        bool negate = false;
        if (i_ < p_.size() && p_[i_] == '^') { negate = true; ++i_; }
        if (i_ < p_.size() && p_[i_] == ']') throw std::string("empty class");
        bool first = true;
        while (i_ < p_.size() && p_[i_] != ']') {
            int lo;
            if (p_[i_] == '\\') {
                ++i_;
                if (i_ >= p_.size()) throw std::string("letter expected for argument of escape sequence");
                const char x = p_[i_++];
                if (isClassEscape(x)) {
                    if (i_ < p_.size() && p_[i_] == '-' && i_ + 1 < p_.size() && p_[i_ + 1] != ']')
                        throw std::string("cannot use character classes in ranges");
                    for (int ch = 0; ch < 256; ++ch) if (classEscape(x, ch)) e.set[ch] = true;
                    first = false;
                    continue;
                }
                const int ctl = controlEscape(x);
                lo = static_cast<unsigned char>(ctl >= 0 ? ctl : x);
            } else {
                if (p_[i_] == '-' && !first) throw std::string("letter expected");
                lo = static_cast<unsigned char>(p_[i_++]);
            }
            first = false;
            if (i_ + 1 < p_.size() && p_[i_] == '-' && p_[i_ + 1] != ']') {
                ++i_;
                int hi;
                if (p_[i_] == '\\') {
                    ++i_;
                    if (i_ >= p_.size()) throw std::string("letter expected for argument of escape sequence");
                    const char x = p_[i_++];
                    if (isClassEscape(x)) throw std::string("cannot use character classes in ranges");
                    const int ctl = controlEscape(x);
                    hi = static_cast<unsigned char>(ctl >= 0 ? ctl : x);
                } else {
                    hi = static_cast<unsigned char>(p_[i_++]);
                }
                for (int ch = lo; ch <= hi; ++ch) e.set[ch] = true;
            } else if (i_ + 1 < p_.size() && p_[i_] == '-' && p_[i_ + 1] == ']') {
                throw std::string("letter expected");
            } else {
                e.set[lo] = true;
            }
        }
        if (i_ >= p_.size()) throw std::string("expected paren");
        ++i_;
        if (negate) for (bool& b : e.set) b = !b;
    }

    std::string_view p_;
    size_t i_ = 0;
    int& groups_;
};

}  // namespace

Regexp::Regexp(std::string_view pattern) : root_(std::make_unique<Elem>()) {
    const std::string_view p = pattern.substr(0, pattern.find('\0'));
    root_->kind = EKind::Group;
    root_->capture = 0;
    Parser parser(p, groups_);
    if (p.empty()) throw std::string("letter expected");
    parser.parseAlts(*root_, true);
    if (parser.pos() != p.size()) throw std::string("unexpected character");
}

Regexp::~Regexp() = default;

const Regexp::Elem* Regexp::follower(const Cont& c, Cont& after) const {
    for (const Cont* k = &c; k; k = k->parent) {
        if (k->index < k->seq->size()) {
            after = Cont{k->seq, k->index + 1, k->parent};
            return &(*k->seq)[k->index];
        }
    }
    return nullptr;
}

int Regexp::matchGroup(const Elem& e, int pos, const Cont& follow) {
    bool recording = false;
    if (e.capture >= 0 && e.capture == nextCapture_) {
        recording = true;
        ++nextCapture_;
        (*caps_)[e.capture].begin = pos;
    }
    for (const Seq& alt : e.alts) {
        const int r = matchSeq(alt, 0, pos, &follow);
        if (r >= 0) {
            if (recording) (*caps_)[e.capture].end = r;
            return r;
        }
    }
    if (recording) (*caps_)[e.capture] = Capture{};
    return -1;
}

int Regexp::matchElem(const Elem& e, int pos, const Cont& follow) {
    const int len = static_cast<int>(text_.size());
    auto at = [&](int p) { return static_cast<unsigned char>(text_[static_cast<size_t>(p)]); };
    switch (e.kind) {
    case EKind::Char: return pos < len && at(pos) == e.ch ? pos + 1 : -1;
    case EKind::Any: return pos < len ? pos + 1 : -1;
    case EKind::Class: return pos < len && e.set[at(pos)] ? pos + 1 : -1;
    case EKind::Bol: return pos == searchStart_ ? pos : -1;
    case EKind::Eol: return pos == len ? pos : -1;
    case EKind::WordB: case EKind::NotWordB: {
        auto space = [&](int p) { return p < 0 || p >= len || std::isspace(at(p)); };
        bool boundary;
        if (pos == 0) boundary = !space(pos);
        else if (pos == len) boundary = !space(pos - 1);
        else boundary = space(pos) != space(pos + 1);
        return boundary == (e.kind == EKind::WordB) ? pos : -1;
    }
    case EKind::Group: return matchGroup(e, pos, follow);
    }
    return -1;
}

int Regexp::matchSeq(const Seq& seq, size_t i, int pos, const Cont* parent) {
    const int len = static_cast<int>(text_.size());
    for (; i < seq.size(); ++i) {
        const Elem& e = seq[i];
        const Cont follow{&seq, i + 1, parent};
        if (!e.quantified) {
            pos = matchElem(e, pos, follow);
            if (pos < 0) return -1;
            continue;
        }
        Cont afterF{nullptr, 0, nullptr};
        const Elem* f = follower(follow, afterF);
        int count = 0;
        for (;;) {
            const int r = matchElem(e, pos, follow);
            if (r < 0) break;
            pos = r;
            ++count;
            if (f && !(f->quantified && f->min == 0)) {
                const bool fits = matchElem(*f, pos, afterF) >= 0;
                if (fits && count >= e.min && (e.max < 0 || count <= e.max)) break;
            }
            if ((e.max >= 0 && count >= e.max) || pos >= len) break;
            if (r == pos && e.kind != EKind::Char && e.kind != EKind::Any && e.kind != EKind::Class && count > 65535) break;
        }
        if (count < e.min || (e.max >= 0 && count > e.max)) return -1;
    }
    return pos;
}

bool Regexp::attempt(std::string_view text, int at, int searchStart, std::vector<Capture>& caps, int& end) {
    text_ = text;
    searchStart_ = searchStart;
    nextCapture_ = 0;
    caps.assign(static_cast<size_t>(groups_), Capture{});
    caps_ = &caps;
    const Seq none;
    const Cont top{&none, 0, nullptr};
    const int r = matchElem(*root_, at, top);
    if (r < 0) return false;
    caps[0] = Capture{at, r};
    end = r;
    return true;
}

bool Regexp::match(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::vector<Capture> caps;
    int end = 0;
    return attempt(text, 0, 0, caps, end) && end == static_cast<int>(text.size());
}

bool Regexp::search(std::string_view text, int start, std::vector<Capture>& captures) {
    text = text.substr(0, text.find('\0'));
    const int len = static_cast<int>(text.size());
    if (start < 0) start = 0;
    for (int at = start; at < len; ++at) {
        int end = 0;
        if (attempt(text, at, start, captures, end)) return true;
    }
    return false;
}

}  // namespace sq
