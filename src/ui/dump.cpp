#include "ui/dump.hpp"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "ui/bitmap.hpp"
#include "ui/overloaded.hpp"
#include "ui/symbol_drawing.hpp"

namespace vx::ui {

namespace {

using nlohmann::json;

json shapesOf(const std::vector<ShapeItem>& items) {
  json out = json::array();
  for (const auto& item : items) {
    json s = {{"shape", item.shape.kindName()}, {"color", item.paint.color.text()}};
    s["paint"] = item.paint.stroke ? "stroke" : "fill";
    if (item.accentable) s["accentable"] = true;
    out.push_back(std::move(s));
  }
  return out;
}

void describeContent(const Box& box, json& out) {
  std::visit(Overloaded{
                 [](const contents::None&) {},
                 [&](const contents::TextRun& run) {
                   json lines = json::array();
                   for (const auto& line : run.lines) lines.push_back(line.text);
                   out["lines"] = std::move(lines);
                   out["truncated"] = run.truncated;
                   out["scale"] = run.scale;
                   out["fontSize"] = run.fontSize;
                   out["weight"] = rawValue(run.weight);
                   out["color"] = run.color.text();
                   if (run.tabularDigits) out["tabularDigits"] = true;
                 },
                 [&](const contents::Drawing& d) { out["shapes"] = shapesOf(d.items); },
                 [&](const contents::CanvasDrawing& c) {
                   const bool finite =
                       std::isfinite(box.size.width) && std::isfinite(box.size.height);
                   out["shapes"] = finite ? shapesOf(c.draw(box.size)) : json::array();
                 },
                 [&](const contents::Picture& p) {
                   out["pixels"] = {p.bitmap->width(), p.bitmap->height()};
                 },
                 [&](const contents::SymbolDrawing& s) {
                   out["symbol"] = rawValue(s.symbol);
                   out["color"] = s.color.text();
                 },
             },
             box.content);
}

json describe(const Box& box, Point origin) {
  json out;
  out["kind"] = box.kind;
  out["frame"] = {origin.x, origin.y, box.size.width, box.size.height};
  if (box.tag) out["tag"] = *box.tag;
  if (box.label) out["label"] = *box.label;
  if (box.link) out["link"] = *box.link;
  if (box.linksWholeWidget) out["wholeWidget"] = true;
  if (box.opacity < 1) out["opacity"] = box.opacity;
  if (box.accentable) out["accentable"] = true;
  if (box.clip) {
    out["clip"] = {box.clip->topLeading, box.clip->topTrailing, box.clip->bottomTrailing,
                   box.clip->bottomLeading};
  }
  if (box.containerBackground) out["containerBackground"] = true;
  if (box.fallback) out["fallback"] = true;
  describeContent(box, out);
  if (!box.children.empty()) {
    json children = json::array();
    for (const auto& c : box.children) {
      children.push_back(describe(*c.box, {origin.x + c.origin.x, origin.y + c.origin.y}));
    }
    out["children"] = std::move(children);
  }
  return out;
}

std::string number(double v) {
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", std::round(v * 100) / 100);
  return buf;
}

std::string shapeText(const json& shapes) {
  std::string out;
  for (const auto& s : shapes) {
    if (!out.empty()) out += ", ";
    out += s["shape"].get<std::string>() + " " + s["paint"].get<std::string>() + " " +
           s["color"].get<std::string>();
    if (s.contains("accentable")) out += " accentable";
  }
  return "[" + out + "]";
}

// One line: kind, frame, tag, the text's lines, then the other properties by name.
void writeText(const json& node, int depth, std::string& out) {
  out.append(static_cast<std::size_t>(depth) * 2, ' ');
  out += node["kind"].get<std::string>();
  const auto& f = node["frame"];
  out += " " + number(f[0].get<double>()) + "," + number(f[1].get<double>()) + " " +
         number(f[2].get<double>()) + "x" + number(f[3].get<double>());
  if (node.contains("tag")) out += " tag=" + node["tag"].get<std::string>();
  if (node.contains("lines")) {
    std::string joined;
    for (const auto& line : node["lines"]) {
      joined += (joined.empty() ? "" : " | ") + line.get<std::string>();
    }
    out += " \"" + joined + "\"";
  }
  for (const auto& [key, value] : node.items()) {
    if (key == "kind" || key == "frame" || key == "children" || key == "tag" || key == "lines") {
      continue;
    }
    if (key == "shapes") {
      out += " shapes=" + shapeText(value);
    } else if (value.is_string()) {
      out += " " + key + "=" + value.get<std::string>();
    } else if (value.is_number()) {
      out += " " + key + "=" + number(value.get<double>());
    } else if (value.is_boolean()) {
      if (value.get<bool>()) out += " " + key;
    } else {
      out += " " + key + "=" + value.dump();
    }
  }
  out += "\n";
  if (node.contains("children")) {
    for (const auto& child : node["children"]) writeText(child, depth + 1, out);
  }
}

}  // namespace

std::string dumpText(const Layout& layout) {
  std::string out;
  writeText(describe(layout.root(), layout.rootOrigin()), 0, out);
  return out;
}

std::string dumpJson(const Layout& layout, int indent) {
  return describe(layout.root(), layout.rootOrigin()).dump(indent);
}

}  // namespace vx::ui
