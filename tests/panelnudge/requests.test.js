'use strict';
const assert = require('node:assert/strict');
const { test } = require('node:test');
const {
  appId, makeRuntimeDir, startFakeHost, runModule, atOnceMs, quickest,
} = require('./helpers');

// Neither request may wait for the host; a host that never answers (and keeps the connection
// open) must not hold them up. Each check answers how long its calls took, so that a run the
// machine held up can be tried again (see quickest).
const returnedUndefined = (result) => {
  assert.equal(result.type, 'undefined');
  return result.ms;
};
const withoutWaiting = async (scenario) => {
  const ms = await quickest(scenario);
  assert.ok(ms < atOnceMs, `returned after ${ms} ms at best`);
};

test('"reload" sends exactly one reload message and returns undefined at once', async (t) => {
  await withoutWaiting(async () => {
    const dir = makeRuntimeDir(t);
    const host = await startFakeHost(t, dir);
    const [result] = await runModule('report(timed(() => nudge.reload()));', { runtimeDir: dir });
    await host.received(1);
    assert.deepEqual(host.messages, [{ type: 'reloadAllTimelines', app: appId }]);
    return returnedUndefined(result);
  });
});

test('"askForNotifications" asks for alerts, sounds and badges and returns before the host answers', async (t) => {
  await withoutWaiting(async () => {
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
    await host.received(1);
    assert.deepEqual(host.messages, [{ type: 'requestAuthorization', app: appId, options: 7 }]);
    return returnedUndefined(result);
  });
});

test('with no host both requests do nothing and return undefined', async (t) => {
  for (const runtimeDir of [null, makeRuntimeDir(t)]) {
    await withoutWaiting(async () => {
      const results = await runModule(`
        report(timed(() => nudge.reload()));
        report(timed(() => nudge.askForNotifications()));
      `, { runtimeDir });
      return Math.max(...results.map(returnedUndefined));
    });
  }
});

test('arguments are ignored', async (t) => {
  await withoutWaiting(async () => {
    const dir = makeRuntimeDir(t);
    const host = await startFakeHost(t, dir);
    const results = await runModule(`
      report(timed(() => nudge.reload(1, 'two', { three: 3 })));
      report(timed(() => nudge.askForNotifications(() => 4, null)));
    `, { runtimeDir: dir });
    await host.received(2);
    assert.deepEqual(host.messages, [
      { type: 'reloadAllTimelines', app: appId },
      { type: 'requestAuthorization', app: appId, options: 7 },
    ]);
    return Math.max(...results.map(returnedUndefined));
  });
});
