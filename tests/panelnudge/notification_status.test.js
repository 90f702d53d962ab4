'use strict';
const assert = require('node:assert/strict');
const { test } = require('node:test');
const {
  appId, makeRuntimeDir, startFakeHost, leaveStaleSocket, runModule, atOnceMs, quickest,
} = require('./helpers');

const answer = (socket, value) => socket.write(JSON.stringify(value) + '\n');
const statusOnce = 'report(timed(() => nudge.notificationStatus()));';

test('each raw authorisation status maps to its text', async (t) => {
  const cases = [
    [0, 'undecided'], [1, 'denied'], [2, 'allowed'], [3, 'allowed'], [4, 'allowed'],
    [5, 'unknown'], [-1, 'unknown'], [18446744073709551615, 'unknown'],
  ];
  for (const [raw, expected] of cases) {
    const dir = makeRuntimeDir(t);
    const host = await startFakeHost(t, dir, (m, socket) => answer(socket, { authorizationStatus: raw }));
    const [result] = await runModule(statusOnce, { runtimeDir: dir });
    assert.deepEqual({ raw, status: result.result }, { raw, status: expected });
    assert.deepEqual(host.messages, [{ type: 'notificationSettings', app: appId }]);
  }
});

test('an answer the module cannot read gives "unknown"', async (t) => {
  const answers = [
    '{"authorizationStatus":"2"}\n', '{"authorizationStatus":2.5}\n', '{"status":2}\n', '[2]\n',
    'not json\n', '{"authorizationStatus":2', // the host hangs up mid-answer
    '',                                         // the host hangs up without answering
  ];
  for (const text of answers) {
    const dir = makeRuntimeDir(t);
    await startFakeHost(t, dir, (m, socket) => socket.end(text));
    const [result] = await runModule(statusOnce, { runtimeDir: dir });
    assert.deepEqual({ text, status: result.result }, { text, status: 'unknown' });
  }
});

test('an answer longer than 4096 bytes is not read', async (t) => {
  // Long enough that its end comes in the same read that passes the limit.
  const padded = (length) => {
    const text = JSON.stringify({ authorizationStatus: 2, pad: '' });
    return text.replace('""', JSON.stringify('x'.repeat(length - text.length))) + '\n';
  };
  for (const [length, expected] of [[4096, 'allowed'], [4200, 'unknown']]) {
    const dir = makeRuntimeDir(t);
    await startFakeHost(t, dir, (m, socket) => socket.end(padded(length)));
    const [result] = await runModule(statusOnce, { runtimeDir: dir });
    assert.deepEqual({ length, status: result.result }, { length, status: expected });
  }
});

test('an answer without a final newline still counts when the host hangs up', async (t) => {
  const dir = makeRuntimeDir(t);
  await startFakeHost(t, dir, (m, socket) => socket.end('{"authorizationStatus":1}'));
  const [result] = await runModule(statusOnce, { runtimeDir: dir });
  assert.equal(result.result, 'denied');
});

test('a host answering after 1.5 s gives "unknown" after about a second, and its late answer does not reach the next call', async (t) => {
  const dir = makeRuntimeDir(t);
  await startFakeHost(t, dir, (m, socket, n) => {
    if (n === 0) setTimeout(() => answer(socket, { authorizationStatus: 2 }), 1500);
    else answer(socket, { authorizationStatus: 1 });
  });
  const [late, next] = await runModule(`${statusOnce} ${statusOnce}`, { runtimeDir: dir });
  assert.equal(late.result, 'unknown');
  assert.ok(late.ms >= 900, `waited ${late.ms} ms before giving up`);
  assert.equal(next.result, 'denied');
});

test('with no host the answer is "unknown" without waiting out the second', async (t) => {
  const staleDir = makeRuntimeDir(t);
  leaveStaleSocket(staleDir);
  const settings = {
    'no runtime directory': null,
    'a relative runtime directory': 'relative/dir',
    'no socket in the runtime directory': makeRuntimeDir(t),
    'a socket nobody listens on': staleDir,
  };
  for (const [situation, runtimeDir] of Object.entries(settings)) {
    const ms = await quickest(async () => {
      const [result] = await runModule(statusOnce, { runtimeDir });
      assert.equal(result.result, 'unknown', situation);
      return result.ms;
    });
    assert.ok(ms < atOnceMs, `${situation}: took ${ms} ms at best`);
  }
});

test('arguments are ignored', async (t) => {
  const dir = makeRuntimeDir(t);
  const host = await startFakeHost(t, dir, (m, socket) => answer(socket, { authorizationStatus: 0 }));
  const results = await runModule(`
    report(nudge.notificationStatus());
    report(nudge.notificationStatus(1, 'two', { three: 3 }, () => 4));
  `, { runtimeDir: dir });
  assert.deepEqual(results, ['undecided', 'undecided']);
  assert.equal(host.messages.length, 2);
});
