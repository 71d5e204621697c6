#include "expr/expr_cache.h"

#include "interp/machine.h"

namespace kestrel {

struct ExprCache::Impl {};

ExprCache::ExprCache(int32_t) : impl_(std::make_unique<Impl>()) {}
ExprCache::~ExprCache() = default;

void ExprCache::evaluate(Machine& m, EvalStacks& s) { m.evaluateItems(s); }

}  // namespace kestrel
