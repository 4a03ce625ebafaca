// The host's expression language, as far as plug-ins use it: literals, bare item names and calls of
// the host's functions, parsed whole before anything is evaluated.
//
//   expression := string | number | call | name
//   string     := '"' characters with the escapes \" \\ \n \t '"'
//   number     := [+-] digits ['.' digits] [e [+-] digits]   (an integer without '.' or exponent)
//   call       := identifier '(' [expression {',' expression}] ')'
//   name       := any other text up to the next ',' or ')' outside parentheses, trimmed
//
// An identifier is a call only when '(' follows it directly, so item names may hold spaces and
// balanced parentheses: ProceduralTypeSet(Brush (2), 1) names the item "Brush (2)".
//
// Functions: GetCurrentView() -> string; GetViewType(view) -> integer; GetViewMove(view),
// GetViewRotate(view) -> vector; GetViewDolly(view), GetViewGridSize(view) -> number;
// unparentItems(flags) -> 1, takes the current object out of its parent; ProceduralTypeSet(item,
// type) -> 1, sets the item's procedural type. A view or item is a string or a bare name.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vhost {

class Host;

struct ItemName {
    std::string text;
};

using ExpressionValue = std::variant<int32_t, double, std::string, std::array<double, 3>, ItemName>;

// "an integer", "a number", "a string", "a vector" or "a name": for messages about a value of the
// wrong kind.
const char *KindName(const ExpressionValue &value);

// Parses and evaluates text against the host. Text it cannot parse, an unknown function, view or
// item, or arguments of the wrong number or kind: a host message naming the problem and no value;
// the call that failed changes nothing.
std::optional<ExpressionValue> EvaluateExpression(Host &host, std::string_view text);

}  // namespace vhost
