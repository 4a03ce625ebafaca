#include "model/expressions.h"

#include <cctype>
#include <charconv>
#include <functional>
#include <vector>

#include "model/host.h"

namespace vhost {

namespace {

// What went wrong, for the host message; thrown inside this file only.
// Contract: tests match the problem texts of the host messages; keep their wording.
struct Failure {
    std::string problem;
};

struct Node;
struct Call {
    std::string function;
    std::vector<Node> arguments;
};
struct Node {
    std::variant<int32_t, double, std::string, ItemName, Call> content;
};

// Deep enough for any real expression, shallow enough that no text can exhaust the stack.
constexpr int kMaxNesting = 64;

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    Node parseWhole() {
        Node node = parseExpression(0);
        skipSpace();
        if (pos_ < text_.size()) fail(std::string("unexpected '") + text_[pos_] + "'");
        return node;
    }

private:
    [[noreturn]] void fail(const std::string &what) const {
        throw Failure{what + " at column " + std::to_string(pos_ + 1)};
    }

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }
    void skipSpace() {
        while (!atEnd() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    }
    static bool isIdentifierStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
    static bool isIdentifierChar(char c) { return isIdentifierStart(c) || std::isdigit(static_cast<unsigned char>(c)); }

    Node parseExpression(int depth) {
        if (depth > kMaxNesting) fail("expression nested too deeply");
        skipSpace();
        const char c = peek();
        if (atEnd()) fail("expected a value");
        if (c == '"') return Node{parseString()};
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.') return parseNumber();
        if (c == ',' || c == ')' || c == '(') fail(std::string("unexpected '") + c + "'");
        if (isIdentifierStart(c)) {
            size_t end = pos_;
            while (end < text_.size() && isIdentifierChar(text_[end])) ++end;
            if (end < text_.size() && text_[end] == '(') {
                Call call{std::string(text_.substr(pos_, end - pos_)), {}};
                pos_ = end + 1;
                parseArguments(call, depth);
                return Node{std::move(call)};
            }
        }
        return Node{parseName()};
    }

    void parseArguments(Call &call, int depth) {
        skipSpace();
        if (peek() == ')') {
            ++pos_;
            return;
        }
        for (;;) {
            call.arguments.push_back(parseExpression(depth + 1));
            skipSpace();
            if (peek() == ',') {
                ++pos_;
            } else if (peek() == ')') {
                ++pos_;
                return;
            } else {
                fail("expected ',' or ')' in the arguments of " + call.function);
            }
        }
    }

    std::string parseString() {
        ++pos_;  // the opening quote
        std::string out;
        for (;;) {
            if (atEnd()) fail("unterminated string");
            const char c = text_[pos_++];
            if (c == '"') return out;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (atEnd()) fail("unterminated string");
            switch (text_[pos_++]) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            default: --pos_; fail("unknown escape in string");
            }
        }
    }

    Node parseNumber() {
        const size_t start = pos_;
        if (peek() == '+' || peek() == '-') ++pos_;
        size_t digits = 0;
        bool isFloat = false;
        auto scanDigits = [&] {
            while (std::isdigit(static_cast<unsigned char>(peek()))) ++pos_, ++digits;
        };
        scanDigits();
        if (peek() == '.') {
            isFloat = true;
            ++pos_;
            scanDigits();
        }
        if (digits == 0) fail("malformed number");
        if (peek() == 'e' || peek() == 'E') {
            isFloat = true;
            ++pos_;
            if (peek() == '+' || peek() == '-') ++pos_;
            if (!std::isdigit(static_cast<unsigned char>(peek()))) fail("malformed exponent");
            scanDigits();
        }
        // from_chars takes no leading '+'.
        const char *first = text_.data() + start + (text_[start] == '+' ? 1 : 0);
        const char *last = text_.data() + pos_;
        if (isFloat) {
            double v = 0.0;
            const auto r = std::from_chars(first, last, v);
            if (r.ec != std::errc() || r.ptr != last) fail("number out of range");
            return Node{v};
        }
        int32_t v = 0;
        const auto r = std::from_chars(first, last, v);
        if (r.ec != std::errc() || r.ptr != last) fail("integer out of range");
        return Node{v};
    }

    ItemName parseName() {
        const size_t start = pos_;
        int depth = 0;
        while (!atEnd()) {
            const char c = text_[pos_];
            if (c == '"') fail("unexpected '\"' in a name");
            if (depth == 0 && (c == ',' || c == ')')) break;
            if (c == '(') ++depth;
            if (c == ')') --depth;
            ++pos_;
        }
        if (depth != 0) fail("unbalanced '(' in a name");
        size_t end = pos_;
        while (end > start && std::isspace(static_cast<unsigned char>(text_[end - 1]))) --end;
        return ItemName{std::string(text_.substr(start, end - start))};
    }

    std::string_view text_;
    size_t pos_ = 0;
};

// ---- evaluation ----

using Arguments = std::vector<ExpressionValue>;

std::string Quoted(const std::string &s) { return "\"" + s + "\""; }

std::string NameArgument(const std::string &function, const Arguments &args, size_t i) {
    if (const auto *s = std::get_if<std::string>(&args[i])) return *s;
    if (const auto *n = std::get_if<ItemName>(&args[i])) return n->text;
    throw Failure{function + ": argument " + std::to_string(i + 1) + " is " + KindName(args[i]) +
                  ", not a name"};
}

int32_t IntArgument(const std::string &function, const Arguments &args, size_t i) {
    if (const auto *v = std::get_if<int32_t>(&args[i])) return *v;
    throw Failure{function + ": argument " + std::to_string(i + 1) + " is " + KindName(args[i]) +
                  ", not an integer"};
}

const Viewport &ViewArgument(Host &host, const std::string &function, const Arguments &args) {
    const std::string name = NameArgument(function, args, 0);
    const Viewport *view = host.scene.views.find(name);
    if (!view) throw Failure{function + ": no view named " + Quoted(name)};
    return *view;
}

struct Function {
    const char *name;
    size_t arity;
    std::function<ExpressionValue(Host &, const std::string &name, const Arguments &)> run;
};

// Contract: the module sends these function names in its expressions.
// name("view"): one field of the named view.
template <class Field>
Function ViewGetter(const char *name, Field Viewport::*field) {
    return {name, 1, [field](Host &host, const std::string &f, const Arguments &a) -> ExpressionValue {
                return ViewArgument(host, f, a).*field;
            }};
}

const std::vector<Function> &Functions() {
    static const std::vector<Function> functions = {
        {"GetCurrentView", 0,
         [](Host &host, const std::string &, const Arguments &) -> ExpressionValue {
             return host.scene.views.current;
         }},
        ViewGetter("GetViewType", &Viewport::type),
        ViewGetter("GetViewMove", &Viewport::move),
        ViewGetter("GetViewRotate", &Viewport::rotate),
        ViewGetter("GetViewDolly", &Viewport::dolly),
        ViewGetter("GetViewGridSize", &Viewport::gridSize),
        // The argument is a flags word the host reserves; any integer is taken.
        {"unparentItems", 1,
         [](Host &host, const std::string &f, const Arguments &a) -> ExpressionValue {
             IntArgument(f, a, 0);
             Item *item = host.scene.items.find(host.scene.items.current);
             if (!item) throw Failure{f + ": there is no current object"};
             item->parent = 0;
             return int32_t{1};
         }},
        {"ProceduralTypeSet", 2,
         [](Host &host, const std::string &f, const Arguments &a) -> ExpressionValue {
             const std::string name = NameArgument(f, a, 0);
             const int32_t type = IntArgument(f, a, 1);
             Item *item = host.scene.items.findByName(name);
             if (!item) throw Failure{f + ": no item named " + Quoted(name)};
             item->proceduralType = type;
             return int32_t{1};
         }},
    };
    return functions;
}

ExpressionValue Evaluate(Host &host, const Node &node);

ExpressionValue EvaluateCall(Host &host, const Call &call) {
    const Function *function = nullptr;
    for (const Function &f : Functions())
        if (call.function == f.name) function = &f;
    if (!function) throw Failure{"unknown function " + call.function};
    if (call.arguments.size() != function->arity)
        throw Failure{call.function + " takes " + std::to_string(function->arity) + " argument(s), not " +
                      std::to_string(call.arguments.size())};
    Arguments args;
    for (const Node &argument : call.arguments) args.push_back(Evaluate(host, argument));
    return function->run(host, call.function, args);
}

ExpressionValue Evaluate(Host &host, const Node &node) {
    return std::visit(
        [&](const auto &content) -> ExpressionValue {
            using T = std::decay_t<decltype(content)>;
            if constexpr (std::is_same_v<T, Call>)
                return EvaluateCall(host, content);
            else
                return content;
        },
        node.content);
}

}  // namespace

const char *KindName(const ExpressionValue &value) {
    // Contract: tests match these names in the host messages.
    static const char *const names[] = {"an integer", "a number", "a string", "a vector", "a name"};
    return names[value.index()];
}

std::optional<ExpressionValue> EvaluateExpression(Host &host, std::string_view text) {
    try {
        const Node root = Parser(text).parseWhole();
        ExpressionValue value = Evaluate(host, root);
        if (const auto *name = std::get_if<ItemName>(&value))
            throw Failure{"unknown function or value " + name->text};
        return value;
    } catch (const Failure &failure) {
        host.messages.host("expression " + Quoted(std::string(text)) + ": " + failure.problem);
    }
    return std::nullopt;
}

}  // namespace vhost
