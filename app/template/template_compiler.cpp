#include "app/template/template_compiler.h"

#include <string>
#include <vector>

#include "app/template/var_names.h"

namespace snapcrate {
namespace {

constexpr std::string_view kIfdef = "$$IFDEF";
constexpr std::string_view kIfndef = "$$IFNDEF";
constexpr std::string_view kThen = "$$THEN";
constexpr std::string_view kEndif = "$$ENDIF";
constexpr size_t kNone = std::string_view::npos;

enum class Candidate { kNone, kIfdef, kIfndef, kFunc, kVar };

// The first occurrence of a word at or after a position of the whole template
// text. Compilation moves forward through the text, so a search is repeated
// only when the position passes the occurrence found last; this keeps deeply
// nested or long templates from being scanned over and over.
class NextOccurrence {
 public:
  NextOccurrence(std::string_view text, std::string_view word) : text_(text), word_(word) {}

  /// Absolute index of the first occurrence that starts at or after `from` and
  /// ends at or before `end`; npos when there is none.
  size_t Find(size_t from, size_t end) {
    if (!valid_ || from < from_ || (at_ != kNone && at_ < from)) {
      from_ = from;
      at_ = text_.find(word_, from);
      valid_ = true;
    }
    return at_ != kNone && at_ + word_.size() <= end ? at_ : kNone;
  }

 private:
  std::string_view text_;
  std::string_view word_;
  bool valid_ = false;
  size_t from_ = 0;
  size_t at_ = kNone;
};

// Absolute index of the "$$ENDIF" closing the conditional at `open`, looking
// only inside [open, end); npos when it is not closed. Openers and closers are
// counted instead of recursing, so deep nesting cannot exhaust the stack.
size_t MatchingEndif(std::string_view text, size_t open, size_t end) {
  NextOccurrence ifdefs(text, kIfdef), ifndefs(text, kIfndef), endifs(text, kEndif);
  size_t s = open + 1;
  int depth = 0;
  for (;;) {
    const size_t ifdef = ifdefs.Find(s, end);
    const size_t ifndef = ifndefs.Find(s, end);
    const size_t opener = ifdef < ifndef ? ifdef : ifndef;
    const size_t endif = endifs.Find(s, end);
    if (endif == kNone) return kNone;
    if (opener == kNone || opener > endif) {
      if (depth == 0) return endif;
      --depth;
      s = endif + 1;
    } else {
      ++depth;
      s = opener + 1;
    }
  }
}

// 1-based position for the best-position rule: 0 when not found, else
// relative to the start of the text still to compile.
size_t Relative(size_t absolute, size_t begin) { return absolute == kNone ? 0 : absolute - begin + 1; }

std::string NotFoundMarker(std::string_view marker, std::string_view name) {
  return std::string(marker) + "\"" + std::string(name) + "\" not found";
}

void MakeStr(TemplateNode& node, std::string_view text) {
  node.type = kNodeStr;
  node.text = text;
}

// One chain being compiled: the text [begin, end) still to do and where its nodes hang.
struct Chain {
  size_t begin;
  size_t end;
  NodeId first = 0;
  NodeId last = 0;
  NodeId owner = 0;  // the conditional whose body this chain is; 0 for the template itself
};

}  // namespace

int FindMatchingEndif(std::string_view text) {
  const size_t endif = MatchingEndif(text, 0, text.size());
  return endif == kNone ? 0 : static_cast<int>(endif + 1);
}

NodeId CompileTemplate(std::string_view text) {
  const NameTables& names = Names();
  NextOccurrence ifdefs(text, kIfdef), ifndefs(text, kIfndef), thens(text, kThen),
      references(text, "$("), reference_ends(text, ")"), brackets(text, ")"),
      second_brackets(text, ")");
  std::vector<NextOccurrence> functions;
  for (int i = 1; i <= kFunctionCount; ++i) functions.emplace_back(text, names.function[i]);

  NodeId result = 0;
  // A conditional's body is compiled completely before the text after its
  // "$$ENDIF", which gives the nodes the same numbers a recursive walk would.
  std::vector<Chain> chains{{0, text.size()}};
  while (!chains.empty()) {
    Chain& chain = chains.back();
    if (chain.begin >= chain.end) {
      if (chain.owner != 0) Node(chain.owner).child = chain.first;
      else result = chain.first;
      chains.pop_back();
      continue;
    }
    const size_t begin = chain.begin;
    const size_t end = chain.end;

    size_t best = 0;
    Candidate kind = Candidate::kNone;
    auto offer = [&](size_t position, Candidate candidate) {
      if (IsBetterPosition(position, best)) {
        best = position;
        kind = candidate;
      }
    };
    offer(Relative(ifdefs.Find(begin, end), begin), Candidate::kIfdef);
    offer(Relative(ifndefs.Find(begin, end), begin), Candidate::kIfndef);
    size_t function_position = 0;
    int function = 0;
    for (int i = 1; i <= kFunctionCount; ++i) {
      if (names.function[i].empty()) continue;
      const size_t p = Relative(functions[i - 1].Find(begin, end), begin);
      if (IsBetterPosition(p, function_position)) {
        function_position = p;
        function = i;
      }
    }
    offer(function_position, Candidate::kFunc);
    // Only the first "$(" is examined: an unknown name there hides every later
    // reference up to the next other directive.
    VarRef var;
    size_t var_end = kNone;
    if (const size_t p = references.Find(begin, end); p != kNone) {
      if (const size_t q = reference_ends.Find(p, end); q != kNone) {
        var = FindVariable(text.substr(p, q - p + 1));
        var_end = q + 1;
        if (var.found) offer(Relative(p, begin), Candidate::kVar);
      }
    }

    const NodeId n = AllocNode();
    if (chain.last != 0) Node(chain.last).next = n;
    else chain.first = n;
    chain.last = n;
    TemplateNode& node = Node(n);

    if (best > 1) {
      MakeStr(node, text.substr(begin, best - 1));
      chain.begin = begin + best - 1;
      continue;
    }
    switch (kind) {
      case Candidate::kIfdef:
      case Candidate::kIfndef: {
        const size_t keyword = kind == Candidate::kIfdef ? kIfdef.size() : kIfndef.size();
        const size_t then = thens.Find(begin + 1, end);
        const size_t endif = MatchingEndif(text, begin, end);
        if (then == kNone || endif == kNone || endif < then || then < begin + keyword ||
            endif < then + kThen.size()) {
          MakeStr(node, kIfSyntaxError);
          chain.begin = end;
          break;
        }
        const std::string_view name = text.substr(begin + keyword, then - begin - keyword);
        const size_t body = then + kThen.size();
        chain.begin = endif + kEndif.size();
        const VarRef ref = FindVariable(name);
        if (!ref.found) {
          MakeStr(node, NotFoundMarker(kIfSyntaxError, name));
          break;
        }
        node.type = kind == Candidate::kIfdef ? kNodeIfdef : kNodeIfndef;
        node.kind = ref.kind;
        node.index = ref.index;
        chains.push_back({body, endif, 0, 0, n});  // invalidates `chain`
        break;
      }
      case Candidate::kVar:
        node.type = kNodeVar;
        node.kind = var.kind;
        node.index = var.index;
        chain.begin = var_end;
        break;
      case Candidate::kFunc: {
        const size_t length = names.function[function].size();
        const size_t r1 = brackets.Find(begin + 1, end);
        const size_t r2 = r1 == kNone ? kNone : second_brackets.Find(r1 + 1, end);
        if (r2 == kNone) {
          MakeStr(node, kFunctionSyntaxError);
          chain.begin = end;
          break;
        }
        // The character after the function name is the opening bracket, whatever it is.
        const size_t name_start = begin + length + 1 < r2 ? begin + length + 1 : r2;
        const std::string_view name = text.substr(name_start, r2 - name_start);
        chain.begin = r2 + 1;
        const VarRef ref = FindVariable(name);
        if (!ref.found) {
          MakeStr(node, NotFoundMarker(kFunctionSyntaxError, name));
          break;
        }
        node.type = kNodeFunc;
        node.text = names.function[function];
        node.function = static_cast<int16_t>(function);
        node.kind = ref.kind;
        node.index = ref.index;
        break;
      }
      case Candidate::kNone:
        MakeStr(node, text.substr(begin, end - begin));
        chain.begin = end;
        break;
    }
  }
  return result;
}

}  // namespace snapcrate
