'use strict';
const assert = require('node:assert/strict');
const path = require('node:path');
const { test } = require('node:test');
const { packageDir, runModule } = require('./helpers');

const names = ['reload', 'notificationStatus', 'askForNotifications'];

test('registration fills in and returns the very exports object it is given', async () => {
  const [result] = await runModule(`
    const moduleRecord = { exports: {} };
    const given = moduleRecord.exports;
    process.dlopen(moduleRecord, ${JSON.stringify(path.join(packageDir, 'panelnudge.node'))});
    report({
      same: moduleRecord.exports === given,
      keys: Object.keys(given),
      kinds: Object.values(given).map((f) => typeof f),
      functionNames: Object.values(given).map((f) => f.name),
    });
  `, { runtimeDir: null });
  assert.equal(result.same, true);
  assert.deepEqual(result.keys, names, 'exactly the three functions, in this order');
  assert.deepEqual(result.kinds, ['function', 'function', 'function']);
  assert.deepEqual(result.functionNames, names);
});

test('require() of the package folder loads the module', async () => {
  const [keys] = await runModule('report(Object.keys(nudge));', { runtimeDir: null });
  assert.deepEqual(keys, names);
});
