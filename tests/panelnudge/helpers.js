'use strict';
// Shared pieces of the panelnudge tests: a fake widget host listening on the per-user socket of
// a temporary runtime directory, and a child node process that loads the module. The module's
// notificationStatus blocks its JavaScript thread, so it always runs in the child while the fake
// host runs on this process's event loop.

const assert = require('node:assert/strict');
const { spawn, spawnSync } = require('node:child_process');
const fs = require('node:fs');
const net = require('node:net');
const path = require('node:path');
const readline = require('node:readline');
const { scratch } = require('../support/helpers');

const packageDir = process.env.PANELNUDGE_PACKAGE;
const appId = process.env.PANELNUDGE_APP;
assert.ok(packageDir, 'PANELNUDGE_PACKAGE names the built package folder');
assert.ok(appId, 'PANELNUDGE_APP names the application bundle identifier');

const socketName = 'vantorix-widget-host.sock';

// A host that records every message (parsed JSON line) and lets `respond(message, socket, n)`
// answer it; n counts the messages of that type so far, from 0.
async function startFakeHost(t, runtimeDir, respond = () => {}) {
  const host = { messages: [], connections: new Set() };
  const seen = new Map();
  const server = net.createServer((socket) => {
    host.connections.add(socket);
    socket.on('close', () => host.connections.delete(socket));
    // The module may hang up before the host has answered (as it does after a request); the
    // host then sees EPIPE, also forwarded through readline, and carries on.
    socket.on('error', () => {});
    const lines = readline.createInterface({ input: socket });
    lines.on('error', () => {});
    lines.on('line', (line) => {
      const message = JSON.parse(line);
      host.messages.push(message);
      const n = seen.get(message.type) ?? 0;
      seen.set(message.type, n + 1);
      respond(message, socket, n);
    });
  });
  await new Promise((resolve) => server.listen(path.join(runtimeDir, socketName), resolve));
  host.close = () => {
    for (const socket of host.connections) socket.destroy();
    return new Promise((resolve) => server.close(resolve));
  };
  // Resolves once `count` messages are in and every client connection has ended, plus a short
  // pause so that a surplus message on a connection not yet accepted would show up as well.
  host.received = async (count) => {
    const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
    while (host.messages.length < count || host.connections.size > 0) await pause(10);
    await pause(100);
  };
  t.after(() => host.close());
  return host;
}

// A socket file with nobody listening on it, as a host that crashed leaves behind.
function leaveStaleSocket(runtimeDir) {
  const script = `require('net').createServer().listen(${JSON.stringify(
    path.join(runtimeDir, socketName))}, () => process.exit(0))`;
  const result = spawnSync(process.execPath, ['-e', script]);
  assert.equal(result.status, 0);
  assert.ok(fs.existsSync(path.join(runtimeDir, socketName)));
}

// Runs `body` in a child node process where `nudge` is the loaded package and `report(value)`
// sends a value back. `runtimeDir` null leaves XDG_RUNTIME_DIR unset. `onReport` sees each value
// as it arrives; the promise resolves with all of them when the child exits successfully.
function runModule(body, { runtimeDir, onReport = () => {} } = {}) {
  const env = { ...process.env };
  delete env.XDG_RUNTIME_DIR;
  if (runtimeDir !== null) env.XDG_RUNTIME_DIR = runtimeDir;
  const prelude = `
    const nudge = require(${JSON.stringify(packageDir)});
    const report = (value) => process.stdout.write(JSON.stringify(value) + '\\n');
    const timed = (call) => {
      const start = performance.now();
      const result = call();
      return { type: typeof result, result, ms: performance.now() - start };
    };
  `;
  const child = spawn(process.execPath, ['-e', prelude + body], { env });
  const reports = [];
  let stderr = '';
  child.stderr.on('data', (chunk) => { stderr += chunk; });
  readline.createInterface({ input: child.stdout }).on('line', (line) => {
    const value = JSON.parse(line);
    reports.push(value);
    onReport(value);
  });
  return new Promise((resolve, reject) => {
    child.on('close', (code) => {
      if (code === 0) resolve(reports);
      else reject(new Error(`child exited with ${code}: ${stderr}`));
    });
  });
}

// A call that must not wait is one that returns well within the module's one-second waits: a
// call that waited out either of them would take at least a second.
const atOnceMs = 900;

// How long a call took at best. A call that returns at once may now and then be held up by a
// busy machine's scheduler, while one that waits is slow every time; so `scenario` (an async
// function answering the milliseconds its call took) is run again, up to `attempts` times in
// all, for as long as its call was not quick. The answer is the quickest time seen.
async function quickest(scenario, attempts = 3) {
  let best = Infinity;
  for (let i = 0; i < attempts && !(best < atOnceMs); i++) best = Math.min(best, await scenario());
  return best;
}

module.exports = {
  appId, packageDir, socketName, makeRuntimeDir: scratch, startFakeHost, leaveStaleSocket, runModule,
  atOnceMs, quickest,
};
