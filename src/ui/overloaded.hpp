#pragma once

namespace vx::ui {

// One visitor out of several lambdas, for std::visit over the tree's variants:
//   std::visit(Overloaded{[](const A&) {...}, [](const B&) {...}}, value);
template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

}  // namespace vx::ui
