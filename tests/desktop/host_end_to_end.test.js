'use strict';
// The widget host as a user runs it: the demo service signed in, three widgets placed, the host
// headless; the desktop application's module reloads every widget and reads the permission the
// host keeps. Everything lives in a temporary folder; the service listens on loopback.

const assert = require('node:assert/strict');
const { spawn, spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const test = require('node:test');
const { pngSize, until } = require('../support/helpers');

const bin = process.env.VX_BIN;
const packageDir = process.env.PANELNUDGE_PACKAGE;
const host = path.join(bin, 'desktop', 'vantorix-widget-host');

function readIndex(output) {
  try {
    return JSON.parse(fs.readFileSync(path.join(output, 'index.json'), 'utf8'));
  } catch {
    return null;
  }
}

test('placed widgets are drawn from the service, reload on request and the permission is kept', async (t) => {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'vx-host-'));
  const env = {
    ...process.env,
    XDG_DATA_HOME: path.join(work, 'data'),
    XDG_CONFIG_HOME: path.join(work, 'config'),
    XDG_RUNTIME_DIR: path.join(work, 'run'),
    TZ: 'UTC',
    LANG: 'en_US.UTF-8',
  };
  fs.mkdirSync(env.XDG_RUNTIME_DIR, { mode: 0o700 });
  const children = [];
  t.after(() => {
    for (const child of children) child.kill('SIGTERM');
    fs.rmSync(work, { recursive: true, force: true });
  });

  const ready = path.join(work, 'session.json');
  const demo = spawn(path.join(bin, 'demo', 'vantorix-demo-service'), ['--port', '0', '--ready-file', ready],
    { env, stdio: 'ignore' });
  children.push(demo);
  await until(() => fs.existsSync(ready) && fs.statSync(ready).size > 0, 'the demo service');
  const saved = spawnSync(path.join(bin, 'keyferry', 'keyferry'), ['save'], { env, input: fs.readFileSync(ready) });
  assert.equal(saved.status, 0);

  const run = (...args) => spawnSync(host, args, { env, encoding: 'utf8' });
  assert.equal(run('place', '--kind', 'ProjectSummaryWidget', '--family', 'systemSmall', '--period', 'days28').stdout, '1\n');
  assert.equal(run('place', '--kind', 'AllProjectsWidget', '--family', 'systemLarge', '--x', '200').stdout, '2\n');
  assert.equal(run('place', '--kind', 'WaitingWidget', '--family', 'systemMedium').stdout, '3\n');
  assert.equal(run('place', '--kind', 'WaitingWidget', '--family', 'systemExtraLarge').status, 2);

  const output = path.join(work, 'out');
  const running = spawn(host, ['run', '--headless', '--output', output, '--notifications', 'deny'],
    { env, stdio: 'ignore' });
  children.push(running);
  const drawn = (index) => index && index.widgets.length === 3 && index.widgets.every((w) => w.image);
  const first = await until(() => { const i = readIndex(output); return drawn(i) && i; }, 'three drawings');
  const sizes = { systemSmall: [340, 340], systemLarge: [728, 764], systemMedium: [728, 340] };
  for (const widget of first.widgets) {
    assert.deepEqual(pngSize(path.join(output, widget.image)), sizes[widget.family]);
  }
  assert.ok(first.widgets.find((w) => w.id === '2').links.some((l) => l.url.startsWith('vantorix://')));

  // The module in a child process (its settings query blocks the JavaScript thread).
  const module = (code) => spawnSync(process.execPath, ['-e', `const p = require(${JSON.stringify(packageDir)}); ${code}`],
    { env, encoding: 'utf8' });
  assert.equal(module('p.reload()').status, 0);
  const before = new Map(first.widgets.map((w) => [w.id, w.date]));
  await until(() => {
    const i = readIndex(output);
    return drawn(i) && i.widgets.every((w) => w.date > before.get(w.id));
  }, 'every widget to show a new entry');

  assert.equal(module('console.log(p.notificationStatus())').stdout, 'undecided\n');
  module('p.askForNotifications()');
  await until(() => module('console.log(p.notificationStatus())').stdout === 'denied\n', 'the stored answer');
  assert.equal(run('notifications', '--app', 'com.vantorix.desktop', 'allow').status, 0);
  assert.equal(module('console.log(p.notificationStatus())').stdout, 'allowed\n');

  // A removed widget leaves the index.
  assert.equal(run('remove', '2').status, 0);
  await until(() => { const i = readIndex(output); return i && i.widgets.length === 2; }, 'the removal');

  // The widgets took part in push reporting; removing the last one withdraws the token.
  const shared = fs.readdirSync(env.XDG_DATA_HOME).find((name) => name.startsWith('Q7MZ2K4XB9.'));
  const pushFile = path.join(env.XDG_DATA_HOME, shared, 'push.json');
  await until(() => fs.existsSync(pushFile), 'the push registration');
  // With the host stopped, so that its own hand-overs cannot cross the command's.
  const ended = new Promise((resolve) => running.once('exit', resolve));
  running.kill('SIGTERM');
  assert.equal(await ended, 0);
  assert.ok(!fs.existsSync(path.join(env.XDG_RUNTIME_DIR, 'vantorix-widget-host.sock')));
  assert.equal(run('remove', '1').status, 0);
  assert.ok(fs.existsSync(pushFile));
  assert.equal(run('remove', '3').status, 0);
  assert.ok(!fs.existsSync(pushFile));
  assert.equal(run('remove', '3').status, 1);
});
