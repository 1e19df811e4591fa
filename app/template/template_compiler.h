#pragma once
// Compiles template text into a chain of nodes in the node pool, once, when a
// scheme is read. Syntax errors never stop compilation: they become marker
// text in the compiled template.

#include <string_view>

#include "app/template/node_pool.h"

namespace snapcrate {

inline constexpr std::string_view kIfSyntaxError = "+++ IF SYNTAX ERROR +++ ";
inline constexpr std::string_view kFunctionSyntaxError = "+++ FUNCTION SYNTAX ERROR +++ ";

/// First node of the compiled chain; 0 for an empty text.
NodeId CompileTemplate(std::string_view text);

/// 1-based position of the "$$ENDIF" that closes the conditional standing at
/// position 1 of `text`, or 0 when it is not closed.
int FindMatchingEndif(std::string_view text);

/// True when a found position `x` (1-based, 0 = not found) is better than the best `b` so far.
inline bool IsBetterPosition(size_t x, size_t b) { return x >= 1 && (b == 0 || x < b); }

}  // namespace snapcrate
