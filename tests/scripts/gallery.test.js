'use strict';
// The widget gallery as a person meets it: generated for a demo account, then opened from
// file:// in headless Chromium, where every image must have loaded at its size and every tap
// target must be a link at the place, and on top, where the drawing's link map puts it. Then the
// generator's failure paths: the service down, and one drawing that cannot be written.

const assert = require('node:assert/strict');
const { spawn, spawnSync } = require('node:child_process');
const fs = require('node:fs');
const net = require('node:net');
const path = require('node:path');
const { describe, it } = require('node:test');
const { pathToFileURL } = require('node:url');
const { pngSize, scratch, until } = require('../support/helpers');
const { HeadlessBrowser } = require('./headless_browser');

const bin = {
  widgets: process.env.VX_WIDGETS,
  keyferry: process.env.VX_KEYFERRY,
  demo: process.env.VX_DEMO,
  chromium: process.env.VX_CHROMIUM,
  gallery: process.env.VX_GALLERY,
};
const artefacts = process.env.VX_ARTEFACTS;
for (const [name, file] of Object.entries(bin)) assert.ok(file, `the ${name} program is given`);

const kNow = '2026-03-10T12:00:00Z';
const kNowMs = String(Date.parse(kNow));
const kTint = '#2A9D8F';

function environment(dataHome) {
  return { ...process.env, XDG_DATA_HOME: dataHome, TZ: 'UTC', LC_ALL: 'C.UTF-8', LANG: 'C.UTF-8' };
}

// The demo service on a free loopback port, stopped when the test ends; answers its session
// document's path.
async function startDemo(t, dir) {
  const ready = path.join(dir, 'session.json');
  const child = spawn(bin.demo, ['--port', '0', '--now', kNow, '--ready-file', ready],
                      { stdio: 'ignore' });
  const exited = new Promise((resolve) => child.once('exit', resolve));
  t.after(async () => {
    child.kill('SIGTERM');
    await exited;
  });
  await until(() => fs.existsSync(ready), 'the demo service to get ready');
  return ready;
}

// A loopback port nothing listens on.
async function closedPort() {
  const server = net.createServer().listen(0, '127.0.0.1');
  await new Promise((resolve) => server.once('listening', resolve));
  const { port } = server.address();
  await new Promise((resolve) => server.close(resolve));
  return port;
}

function signIn(dataHome, sessionDocument) {
  const saved = spawnSync(bin.keyferry, ['save'], { input: sessionDocument, env: environment(dataHome) });
  assert.equal(saved.status, 0, `keyferry save: ${saved.stderr}`);
}

// Runs the generator (without blocking, so cases run side by side); answers its exit status,
// output, manifest and page.
async function runGallery(dataHome, out, widgets = bin.widgets) {
  const child = spawn(process.execPath,
                      [bin.gallery, '--widgets', widgets, '--out', out, '--tint', kTint,
                       '--now', kNowMs],
                      { env: environment(dataHome), stdio: ['ignore', 'pipe', 'pipe'] });
  let stdout = '';
  let stderr = '';
  child.stdout.on('data', (chunk) => (stdout += chunk));
  child.stderr.on('data', (chunk) => (stderr += chunk));
  const status = await new Promise((resolve) => child.once('close', resolve));
  const manifestFile = path.join(out, 'gallery.json');
  const manifest = fs.existsSync(manifestFile) ? JSON.parse(fs.readFileSync(manifestFile, 'utf8')) : null;
  return { status, stdout, stderr, manifest,
           html: manifest && fs.readFileSync(path.join(out, 'index.html'), 'utf8') };
}

function widgetsAnswer(dataHome, ...args) {
  const run = spawnSync(bin.widgets, [...args, '--now', kNowMs], { env: environment(dataHome), encoding: 'utf8' });
  assert.equal(run.status, 0, run.stderr);
  return JSON.parse(run.stdout);
}

// Every kind's groups hold each family it offers in light and dark, full colour and accented.
function assertEveryAppearance(kinds, manifest) {
  for (const kind of kinds) {
    const section = manifest.sections.find((s) => s.kind === kind.kind);
    assert.ok(section, `a section for ${kind.kind}`);
    for (const group of section.groups) {
      const drawn = group.widgets.map((w) => `${w.family} ${w.scheme} ${w.mode}`).sort();
      const wanted = kind.families.flatMap((f) => ['light', 'dark'].flatMap((s) =>
        ['full', 'accented'].map((m) => `${f} ${s} ${m}`))).sort();
      assert.deepEqual(drawn, wanted, `${kind.kind} ${group.title}`);
    }
    const titles = section.groups.map((g) => g.title);
    assert.ok(titles.includes('Placeholder') && titles.includes('Signed out'), kind.kind);
  }
}

const allWidgets = (manifest) => manifest.sections.flatMap((s) => s.groups.flatMap((g) => g.widgets));

// Runs in the page: what differs from the manifest, as readable lines.
function checkPage(manifest) {
  const problems = [];
  const contains = (r, x, y) => x >= r[0] && x < r[0] + r[2] && y >= r[1] && y < r[1] + r[3];
  const widgets = manifest.sections.flatMap((s) => s.groups.flatMap((g) => g.widgets));
  const images = document.querySelectorAll('img');
  if (images.length !== widgets.length) problems.push(`${images.length} images for ${widgets.length} widgets`);
  for (const entry of performance.getEntriesByType('resource')) {
    if (!entry.name.startsWith('file://')) problems.push(`fetched ${entry.name}`);
  }
  for (const w of widgets) {
    const card = document.getElementById(w.id);
    const img = card && card.querySelector('img');
    if (!img) {
      problems.push(`${w.image}: not on the page`);
      continue;
    }
    card.scrollIntoView({ block: 'start' });
    if (!img.complete || img.naturalWidth !== w.pixels[0] || img.naturalHeight !== w.pixels[1]) {
      problems.push(`${w.image}: loaded ${img.naturalWidth}x${img.naturalHeight}, drawn ${w.pixels}`);
    }
    const box = img.getBoundingClientRect();
    if (Math.abs(box.width - w.size[0]) > 0.01 || Math.abs(box.height - w.size[1]) > 0.01) {
      problems.push(`${w.image}: shown ${box.width}x${box.height}, size ${w.size}`);
    }
    const anchors = [...card.querySelectorAll('a')];
    if (anchors.length !== w.links.length) {
      problems.push(`${w.image}: ${anchors.length} links for ${w.links.length} targets`);
      continue;
    }
    w.links.forEach((link, i) => {
      const a = anchors[i];
      if (a.getAttribute('href') !== link.url) problems.push(`${w.image}: link ${i} goes to ${a.getAttribute('href')}, not ${link.url}`);
      const r = a.getBoundingClientRect();
      const placed = [r.left - box.left, r.top - box.top, r.width, r.height];
      if (placed.some((v, k) => Math.abs(v - link.rect[k]) > 0.05)) {
        problems.push(`${w.image}: link ${i} at ${placed}, not ${link.rect}`);
      }
      // A tap at the target's centre opens the last target containing it.
      const x = link.rect[0] + link.rect[2] / 2;
      const y = link.rect[1] + link.rect[3] / 2;
      let opens = -1;
      w.links.forEach((other, j) => { if (contains(other.rect, x, y)) opens = j; });
      const hit = document.elementFromPoint(box.left + x, box.top + y);
      if (hit !== anchors[opens]) {
        problems.push(`${w.image}: at the centre of link ${i} is ${hit && hit.outerHTML.slice(0, 80)}, not link ${opens}`);
      }
    });
  }
  window.scrollTo(0, 0);
  return problems;
}

// Each case generates its own gallery in its own folder; they run side by side.
describe('the widget gallery', { concurrency: true }, () => {
  it('the gallery of a demo account loads in Chromium with every image at its size and every link in place', async (t) => {
    const dir = scratch(t);
    const dataHome = path.join(dir, 'data');
    signIn(dataHome, fs.readFileSync(await startDemo(t, dir)));
    const out = path.join(dir, 'gallery');
    const run = await runGallery(dataHome, out);
    assert.equal(run.status, 0, run.stderr);
    assert.equal(run.stdout.trim(), path.join(out, 'index.html'));
    const { manifest } = run;
    assert.deepEqual(manifest.failures, []);
    assert.deepEqual(manifest.notes, []);

    // Every kind, every project the Project widget can show, every family and appearance.
    const kinds = widgetsAnswer(dataHome, 'kinds');
    assertEveryAppearance(kinds, manifest);
    const projects = widgetsAnswer(dataHome, 'projects');
    assert.ok(projects.length >= 2);
    const summary = manifest.sections.find((s) => s.kind === 'ProjectSummaryWidget');
    assert.deepEqual(summary.groups.map((g) => g.title), [...projects.map((p) => p.name), 'Placeholder', 'Signed out']);
    const links = allWidgets(manifest).flatMap((w) => w.links);
    assert.ok(links.length > 0);
    for (const link of links) assert.match(link.url, /^vantorix:\/\/open\//);

    const browser = new HeadlessBrowser(bin.chromium);
    t.after(() => browser.close());
    const page = await browser.open(pathToFileURL(run.stdout.trim()).href, 1600, 1200);
    const problems = await browser.evaluate(page, `(${checkPage.toString()})(${JSON.stringify(manifest)})`);
    assert.deepEqual(problems.slice(0, 20), []);
    if (artefacts) await browser.screenshot(page, path.join(artefacts, 'gallery-screenshot.png'));
  });

  it('with the service down, the gallery still draws the placeholder and signed-out widgets and says why the rest is empty', async (t) => {
    const dir = scratch(t);
    const dataHome = path.join(dir, 'data');
    const session = spawnSync(bin.demo, ['--print-session', '--port', String(await closedPort())]);
    assert.equal(session.status, 0);
    signIn(dataHome, session.stdout);
    const out = path.join(dir, 'gallery');
    const run = await runGallery(dataHome, out);
    assert.equal(run.status, 0, run.stderr);
    const { manifest } = run;
    assert.deepEqual(manifest.failures, []);
    assertEveryAppearance(widgetsAnswer(dataHome, 'kinds'), manifest);
    for (const section of manifest.sections) {
      for (const group of section.groups) {
        const ownEntry = group.title === 'Placeholder' || group.title === 'Signed out';
        assert.equal(Boolean(group.note), !ownEntry, `${section.kind} ${group.title}: ${group.note}`);
        for (const w of group.widgets) assert.deepEqual(pngSize(path.join(out, w.image)), w.pixels);
      }
    }
    assert.ok(manifest.notes.length >= 3);
    for (const note of manifest.notes) assert.ok(run.html.includes(note.replaceAll('"', '&quot;')), note);
  });

  it('a drawing that cannot be written is reported on the page and in the exit status, the rest still drawn', async (t) => {
    const dir = scratch(t);
    const out = path.join(dir, 'gallery');
    const blocked = 'img/WaitingWidget-placeholder-systemMedium-dark-full.png';
    fs.mkdirSync(path.join(out, blocked, 'in-the-way'), { recursive: true });
    const run = await runGallery(path.join(dir, 'nobody'), out);
    assert.equal(run.status, 1);
    assert.match(run.stderr, /drawing WaitingWidget Placeholder systemMedium dark full/);
    assert.equal(run.manifest.failures.length, 1);
    const failed = allWidgets(run.manifest).filter((w) => w.error);
    assert.deepEqual(failed.map((w) => w.image), [blocked]);
    assert.match(run.html, /Drawing failed: /);
    for (const w of allWidgets(run.manifest)) {
      if (!w.error) assert.deepEqual(pngSize(path.join(out, w.image)), w.pixels);
    }
  });

  it('a widgets program that ends without answering makes a failed gallery, not an empty one', async (t) => {
    const dir = scratch(t);
    for (const program of [path.join(dir, 'missing'), '/bin/false']) {
      const run = await runGallery(path.join(dir, 'nobody'), path.join(dir, 'gallery'), program);
      assert.equal(run.status, 1, program);
      assert.equal(run.manifest.failures.length, 1, program);
      assert.match(run.html, /<h2>Failures<\/h2>/);
    }
  });
});
