"use strict";
// The gallery's static page: one figure per drawn widget, shown at its size in points from its
// 2x image, with its tap targets as links laid over it in painting order (the last one on top,
// as a tap opens the last link containing it).

const fs = require("node:fs");
const path = require("node:path");

const kModeNames = { full: "full colour", accented: "accented" };

function escapeHtml(text) {
  const replacements = { "&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;", "'": "&#39;" };
  return String(text).replace(/[&<>"']/g, (c) => replacements[c]);
}

// CSS lengths in points: the page shows one point as one CSS pixel.
function px(value) {
  return `${Number(value)}px`;
}

function linkHtml(link) {
  const [x, y, width, height] = link.rect;
  const style = `left:${px(x)};top:${px(y)};width:${px(width)};height:${px(height)}`;
  return `<a class="tap" href="${escapeHtml(link.url)}" title="${escapeHtml(link.url)}" ` +
    `style="${style}"></a>`;
}

function widgetHtml(section, group, widget) {
  const title = `${section.name} (${section.kind}) · ${widget.family} · ${widget.scheme} · ` +
    kModeNames[widget.mode];
  const caption = `<figcaption>${escapeHtml(title)}</figcaption>`;
  let body;
  if (widget.error) {
    body = `<div class="failed">Drawing failed: ${escapeHtml(widget.error)}</div>`;
  } else {
    const [width, height] = widget.size;
    const image = `<img src="${escapeHtml(widget.image)}" width="${width}" height="${height}" ` +
      `alt="${escapeHtml(`${title}, ${group.title}`)}">`;
    body = `<div class="widget" style="width:${px(width)};height:${px(height)}">${image}` +
      widget.links.map(linkHtml).join("") + "</div>";
  }
  return `<figure class="card ${widget.scheme} ${widget.mode}" id="${widget.id}" title="${escapeHtml(title)}">` +
    `${caption}${body}</figure>`;
}

function groupHtml(section, group) {
  const parts = [`<h3>${escapeHtml(group.title)}</h3>`];
  if (group.note) parts.push(`<p class="note">${escapeHtml(group.note)}</p>`);
  if (group.error) parts.push(`<p class="failed">Failed: ${escapeHtml(group.error)}</p>`);
  parts.push('<div class="cards">' + group.widgets.map((w) => widgetHtml(section, group, w))
    .join("\n") + "</div>");
  return `<section class="group">${parts.join("\n")}</section>`;
}

function noticeHtml(manifest) {
  const parts = [];
  if (manifest.failures.length > 0) {
    parts.push('<div class="failed"><h2>Failures</h2><ul>' +
      manifest.failures.map((f) => `<li>${escapeHtml(f)}</li>`).join("") + "</ul></div>");
  }
  if (manifest.notes.length > 0) {
    parts.push('<div class="note"><h2>Notes</h2><ul>' +
      manifest.notes.map((n) => `<li>${escapeHtml(n)}</li>`).join("") + "</ul></div>");
  }
  return parts.join("\n");
}

const kStyle = `
body { font: 14px/1.4 system-ui, sans-serif; margin: 24px; background: #f4f4f6; color: #1c1c1e; }
h2 { margin-top: 32px; }
h3 { margin: 20px 0 8px; font-size: 15px; }
.cards { display: flex; flex-wrap: wrap; gap: 16px; align-items: flex-start; }
.card { margin: 0; padding: 12px; border-radius: 12px; background: #e4e4e9; }
.card.dark { background: #3a3a3c; color: #f2f2f7; }
figcaption { font-size: 12px; margin-bottom: 8px; }
/* The host shows widgets with rounded corners. */
.widget { position: relative; border-radius: 20px; overflow: hidden; }
.widget img { display: block; }
/* Accented widgets leave their background to the host: shown over a plain backdrop here. */
.card.accented .widget { background: #55555f; }
.card.dark.accented .widget { background: #1c1c1e; }
.tap { position: absolute; display: block; }
.tap:hover, .tap:focus { outline: 2px solid #0a84ff; outline-offset: -2px; }
.note { color: #7a5200; }
.failed { color: #b00020; }
`;

// Writes index.html and gallery.json into `folder`; answers the page's absolute path.
function writePage(folder, manifest) {
  let next = 0;
  for (const section of manifest.sections) {
    for (const group of section.groups) {
      for (const widget of group.widgets) widget.id = `w${++next}`;
    }
  }
  const sections = manifest.sections.map((section) =>
    `<h2>${escapeHtml(section.name)} <small>(${escapeHtml(section.kind)})</small></h2>\n` +
    section.groups.map((group) => groupHtml(section, group)).join("\n"));
  const html = `<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Vantorix widgets gallery</title>
<style>${kStyle}</style>
</head>
<body>
<h1>Vantorix widgets gallery</h1>
<p>Every widget at its size in points, drawn at 2x; accented mode uses the tint
${escapeHtml(manifest.tint)} over a plain backdrop, as the host draws the background there.
Tap targets are links over each widget.</p>
${noticeHtml(manifest)}
${sections.join("\n")}
</body>
</html>
`;
  fs.writeFileSync(path.join(folder, "gallery.json"), JSON.stringify(manifest, null, 1) + "\n");
  const page = path.resolve(folder, "index.html");
  fs.writeFileSync(page, html);
  return page;
}

module.exports = { writePage };
