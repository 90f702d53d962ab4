#include "ui/layout_context.hpp"

#include <functional>

#include "ui/layout_rules.hpp"
#include "ui/overloaded.hpp"

namespace vx::ui {

// About what the largest widget lays out: some 2,000 (element, offer) pairs.
constexpr std::size_t kExpectedBoxes = 2048;

// Text measurements outlive one layout pass: a process draws the same labels and figures entry
// after entry, and shaping text is most of the cost of a layout. One measurer per thread, because
// Pango's font map is per thread too; it bounds its own memory.
static TextMeasurer& threadMeasurer() {
  thread_local TextMeasurer measurer;
  return measurer;
}

LayoutContext::LayoutContext() : measurer_(&threadMeasurer()) {
  envs_.push_back({});
  // Grown from a handful of buckets, the table would be rehashed again and again.
  boxes_.reserve(kExpectedBoxes);
}

std::size_t LayoutContext::KeyHash::operator()(const Key& k) const {
  std::size_t h = std::hash<const void*>()(k.node);
  auto mix = [&h](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
  mix(std::hash<int>()(k.env));
  mix(std::hash<double>()(k.width));
  mix(std::hash<double>()(k.height));
  return h;
}

int LayoutContext::withStyle(int env, const TextStyle& style) {
  auto key = std::make_tuple(env, static_cast<const void*>(&style), -1);
  if (auto it = derived_.find(key); it != derived_.end()) return it->second;
  Environment next = envs_[env];
  next.style = next.style.overriddenBy(style);
  envs_.push_back(std::move(next));
  const int id = static_cast<int>(envs_.size()) - 1;
  derived_.emplace(key, id);
  return id;
}

int LayoutContext::withStackAxis(int env, Axis axis) {
  if (envs_[env].stackAxis == axis) return env;
  auto key = std::make_tuple(env, static_cast<const void*>(nullptr), static_cast<int>(axis));
  if (auto it = derived_.find(key); it != derived_.end()) return it->second;
  Environment next = envs_[env];
  next.stackAxis = axis;
  envs_.push_back(std::move(next));
  const int id = static_cast<int>(envs_.size()) - 1;
  derived_.emplace(key, id);
  return id;
}

std::shared_ptr<const Bitmap> LayoutContext::image(const std::string& path) {
  if (auto it = images_.find(path); it != images_.end()) return it->second;
  auto bitmap = Bitmap::loadPng(path);
  images_.emplace(path, bitmap);
  return bitmap;
}

const BoxPtr& LayoutContext::layout(const NodePtr& node, int env, Proposal offer) {
  // Offers are never negative: a parent short of room offers nothing.
  if (offer.width && *offer.width < 0) offer.width = 0;
  if (offer.height && *offer.height < 0) offer.height = 0;
  const Key key{node.get(), env, offer.width.value_or(-1), offer.height.value_or(-1)};
  if (auto it = boxes_.find(key); it != boxes_.end()) return it->second;
  return boxes_.emplace(key, compute(node, env, offer)).first->second;
}

BoxPtr LayoutContext::compute(const NodePtr& node, int env, Proposal offer) {
  return std::visit(
      Overloaded{
          [&](const nodes::Empty&) -> BoxPtr {
            auto box = std::make_shared<Box>();
            box->kind = "empty";
            return box;
          },
          [&](const nodes::Text& n) { return layoutText(*this, n, env, offer); },
          [&](const nodes::Stack& n) { return layoutStack(*this, n, env, offer); },
          [&](const nodes::Overlay& n) { return layoutOverlay(*this, n, env, offer); },
          [&](const nodes::Spacer& n) { return layoutSpacer(*this, n, env, offer); },
          [&](const nodes::FilledShape& n) { return layoutShape(*this, n, env, offer); },
          [&](const nodes::Canvas& n) { return layoutCanvas(*this, n, env, offer); },
          [&](const nodes::Image& n) { return layoutImage(*this, n, env, offer); },
          [&](const nodes::SymbolImage& n) { return layoutSymbol(*this, n, env, offer); },
          [&](const nodes::Padding& n) { return layoutPadding(*this, n, env, offer); },
          [&](const nodes::Framed& n) { return layoutFrame(*this, n, env, offer); },
          [&](const nodes::FixedSize& n) { return layoutFixedSize(*this, n, env, offer); },
          [&](const nodes::Layer& n) { return layoutLayer(*this, n, env, offer); },
          [&](const nodes::Styled& n) -> BoxPtr {
            return layout(n.child, withStyle(env, n.style), offer);
          },
          [&](const nodes::Decorated& n) { return layoutDecorated(*this, n, env, offer); },
      },
      node->content);
}

bool isVoid(const Node& node) {
  if (std::holds_alternative<nodes::Empty>(node.content)) return true;
  if (const auto* t = std::get_if<nodes::Text>(&node.content)) return t->text.empty();
  if (const auto* s = std::get_if<nodes::Styled>(&node.content)) return isVoid(*s->child);
  if (const auto* d = std::get_if<nodes::Decorated>(&node.content)) return isVoid(*d->child);
  if (const auto* f = std::get_if<nodes::FixedSize>(&node.content)) return isVoid(*f->child);
  return false;
}

}  // namespace vx::ui
