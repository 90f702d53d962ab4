'use strict';
const assert = require('node:assert/strict');
const { test } = require('node:test');
const { appId, makeRuntimeDir, startFakeHost, runModule } = require('./helpers');

// Neither request may wait for the host; a host that never answers (and keeps the connection
// open) must not hold them up.
const withoutWaiting = (result) => {
  assert.equal(result.type, 'undefined');
  assert.ok(result.ms < 900, `returned after ${result.ms} ms`);
};

test('"reload" sends exactly one reload message and returns undefined at once', async (t) => {
  const dir = makeRuntimeDir(t);
  const host = await startFakeHost(t, dir);
  const [result] = await runModule('report(timed(() => nudge.reload()));', { runtimeDir: dir });
  withoutWaiting(result);
  await host.received(1);
  assert.deepEqual(host.messages, [{ type: 'reloadAllTimelines', app: appId }]);
});

test('"askForNotifications" asks for alerts, sounds and badges and returns before the host answers', async (t) => {
  const dir = makeRuntimeDir(t);
  let childReturned = false;
  let requestSocket = null;
  const answerWhenBothHappened = () => {
    if (childReturned && requestSocket) requestSocket.end('{"granted":true}\n');
  };
  const host = await startFakeHost(t, dir, (m, socket) => {
    requestSocket = socket;
    answerWhenBothHappened();
  });
  const [result] = await runModule('report(timed(() => nudge.askForNotifications()));', {
    runtimeDir: dir,
    onReport: () => {
      childReturned = true;
      answerWhenBothHappened();
    },
  });
  withoutWaiting(result);
  await host.received(1);
  assert.deepEqual(host.messages, [{ type: 'requestAuthorization', app: appId, options: 7 }]);
});

test('with no host both requests do nothing and return undefined', async (t) => {
  for (const runtimeDir of [null, makeRuntimeDir(t)]) {
    const results = await runModule(`
      report(timed(() => nudge.reload()));
      report(timed(() => nudge.askForNotifications()));
    `, { runtimeDir });
    results.forEach(withoutWaiting);
  }
});

test('arguments are ignored', async (t) => {
  const dir = makeRuntimeDir(t);
  const host = await startFakeHost(t, dir);
  const results = await runModule(`
    report(timed(() => nudge.reload(1, 'two', { three: 3 })));
    report(timed(() => nudge.askForNotifications(() => 4, null)));
  `, { runtimeDir: dir });
  results.forEach(withoutWaiting);
  await host.received(2);
  assert.deepEqual(host.messages, [
    { type: 'reloadAllTimelines', app: appId },
    { type: 'requestAuthorization', app: appId, options: 7 },
  ]);
});
