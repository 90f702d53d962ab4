#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "ui/bitmap.hpp"
#include "ui/box.hpp"
#include "ui/proposal.hpp"
#include "ui/text_measurer.hpp"

namespace vx::ui {

// What flows down the tree while laying out: the inherited text settings and the axis of the
// nearest enclosing stack (spacers stretch along it).
struct Environment {
  TextStyle style;
  std::optional<Axis> stackAxis;
};

// State of one layout pass. Environments are interned (an id per distinct derivation) so that a
// laid-out box can be remembered per (element, environment, offer): stacks measure each child
// several times with the same offers, and nested stacks would otherwise repeat that work at
// every level.
class LayoutContext {
 public:
  LayoutContext();

  // The box stays valid, and the same, until the pass ends.
  [[nodiscard]] const BoxPtr& layout(const NodePtr& node, int env, Proposal offer);

  [[nodiscard]] static int rootEnvironment() { return 0; }
  [[nodiscard]] Environment environment(int id) const { return envs_[id]; }
  [[nodiscard]] int withStyle(int env, const TextStyle& style);
  [[nodiscard]] int withStackAxis(int env, Axis axis);

  [[nodiscard]] TextMeasurer& measurer() { return *measurer_; }
  // The decoded PNG at `path` (null when it does not load), decoded once per pass.
  [[nodiscard]] std::shared_ptr<const Bitmap> image(const std::string& path);

 private:
  struct Key {
    const Node* node;
    int env;
    double width;  // -1: no offer on this axis
    double height;
    friend bool operator==(const Key&, const Key&) = default;
  };
  struct KeyHash {
    std::size_t operator()(const Key& k) const;
  };

  [[nodiscard]] BoxPtr compute(const NodePtr& node, int env, Proposal offer);

  TextMeasurer* measurer_ = nullptr;  // the thread's, kept between passes
  std::vector<Environment> envs_;
  std::map<std::tuple<int, const void*, int>, int> derived_;
  std::unordered_map<Key, BoxPtr, KeyHash> boxes_;
  std::map<std::string, std::shared_ptr<const Bitmap>> images_;
};

}  // namespace vx::ui
